// platform/component: what the component framework gave: published property
// tables in declaration order (here) and the text form files that save and
// restore them (FormFile.cpp), so an application can load forms without the
// designer.

#include <vellix/Published.h>

#include <vellix/Exception.h>

namespace Vellix {

// TComponent's share of the published machinery lives here so that
// Component.h stays free of the table's definition.

const TPublishedTable& TComponent::PublishedProperties() const {
  static const TPublishedTable table("TComponent");
  return table;
}

std::string TComponent::EventHandlerName(const std::string& aEvent) const {
  auto it = FEventHandlerNames.find(aEvent);
  return it == FEventHandlerNames.end() ? std::string() : it->second;
}

void TComponent::SetEventHandlerName(const std::string& aEvent, const std::string& aHandler) {
  if (aHandler.empty())
    FEventHandlerNames.erase(aEvent);
  else
    FEventHandlerNames[aEvent] = aHandler;
}

void TPublishedProperty::Load(TComponent& aComponent, const TPropertyValue& aValue) const {
  if (Restore)
    Restore(aComponent, aValue);
  else
    Write(aComponent, aValue);
}

int32_t TPublishedProperty::EnumOrdinal(std::string_view aName) const {
  for (size_t i = 0; i < EnumNames.size(); ++i)
    if (TPublishedTable::SameName(EnumNames[i], aName)) return static_cast<int32_t>(i);
  return -1;
}

TPublishedTable::TPublishedTable(std::string aClassName, TFactory aCreate)
    : FClassName(std::move(aClassName)), FCreate(std::move(aCreate)) {}

std::unique_ptr<TComponent> TPublishedTable::Create() const {
  return FCreate ? FCreate() : nullptr;
}

const TPublishedProperty* TPublishedTable::Find(std::string_view aName) const {
  int i = IndexOf(aName);
  return i < 0 ? nullptr : &FProperties[static_cast<size_t>(i)];
}

int TPublishedTable::IndexOf(std::string_view aName) const {
  for (size_t i = 0; i < FProperties.size(); ++i)
    if (SameName(FProperties[i].Name, aName)) return static_cast<int>(i);
  return -1;
}

TPublishedProperty& TPublishedTable::Add(TPublishedProperty aProperty) {
  if (!IsIdentifier(aProperty.Name))
    throw Exception("Invalid published property name \"" + aProperty.Name + "\"");
  if (Find(aProperty.Name))
    throw Exception("Property " + aProperty.Name + " is published twice by " + FClassName);
  FProperties.push_back(std::move(aProperty));
  return FProperties.back();
}

bool TPublishedTable::SameName(std::string_view aA, std::string_view aB) {
  if (aA.size() != aB.size()) return false;
  for (size_t i = 0; i < aA.size(); ++i) {
    char a = aA[i], b = aB[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

bool TPublishedTable::IsIdentifier(std::string_view aText) {
  if (aText.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(aText[0])) return false;
  for (char c : aText)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

}  // namespace Vellix
