#include "PropertyEditor.h"

#include <charconv>

#include "DesignDialogs.h"
#include <vellix/Exception.h>

namespace Vellix::Design {

TPropertyEditor::TPropertyEditor(TFormDesigner& aDesigner, std::vector<TComponent*> aComponents,
                                 const TPublishedProperty& aProperty)
    : FDesigner(aDesigner), FComponents(std::move(aComponents)), FProperty(aProperty) {
  if (FComponents.empty()) throw Exception("A property editor needs a selected component");
}

void TPropertyEditor::GetValues(const std::function<void(const std::string&)>&) const {}

void TPropertyEditor::SetPropValue(const TPropertyValue& aValue) {
  for (TComponent* c : FComponents) FProperty.Write(*c, aValue);
  Modified();
}

void TPropertyEditor::SetFirstPropValue(const TPropertyValue& aValue) {
  FProperty.Write(GetComponent(0), aValue);
  Modified();
}

std::string TStringProperty::GetStrValue() const {
  return std::get<std::string>(GetPropValue());
}

std::string TIntegerProperty::GetValue() const {
  return std::to_string(std::get<int32_t>(GetPropValue()));
}

void TIntegerProperty::SetValue(const std::string& aValue) {
  // Surrounding blanks are forgiven, as a person types them by accident.
  size_t first = aValue.find_first_not_of(" \t");
  size_t last = aValue.find_last_not_of(" \t");
  std::string text = first == std::string::npos ? "" : aValue.substr(first, last - first + 1);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    throw Exception("'" + aValue + "' is not a valid integer value");
  SetPropValue(value);
}

void TEnumProperty::GetValues(const std::function<void(const std::string&)>& aProc) const {
  for (const auto& n : Property().EnumNames) aProc(n);
}

std::string TEnumProperty::GetValue() const {
  TPropertyValue v = GetPropValue();
  if (Property().Kind == pkBoolean) return std::get<bool>(v) ? "True" : "False";
  int32_t o = std::get<int32_t>(v);
  const auto& names = Property().EnumNames;
  return o >= 0 && static_cast<size_t>(o) < names.size() ? names[static_cast<size_t>(o)]
                                                          : std::to_string(o);
}

void TEnumProperty::SetValue(const std::string& aValue) {
  int32_t o = Property().EnumOrdinal(aValue);
  if (o < 0) throw Exception("Invalid property value");
  if (Property().Kind == pkBoolean)
    SetPropValue(o == 1);
  else
    SetPropValue(o);
}

void TStringListProperty::Edit() {
  auto lines = std::get<std::vector<std::string>>(GetPropValue());
  if (!DesignDialogs().EditStrings(GetName(), lines)) return;
  SetPropValue(lines);
}

std::string TMethodProperty::GetValue() const {
  return std::get<TEventValue>(GetPropValue()).HandlerName;
}

void TMethodProperty::SetValue(const std::string& aValue) {
  if (!aValue.empty() && !TPublishedTable::IsIdentifier(aValue))
    throw Exception("'" + aValue + "' is not a valid handler name");
  for (size_t i = 0; i < ComponentCount(); ++i) {
    auto e = std::get<TEventValue>(Property().Read(GetComponent(i)));
    e.HandlerName = aValue;
    if (aValue.empty()) e.Handler = nullptr;
    Property().Write(GetComponent(i), e);
  }
  Modified();
}

}  // namespace Vellix::Design
