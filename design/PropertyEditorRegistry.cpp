#include "PropertyEditorRegistry.h"

namespace Vellix::Design {

void TPropertyEditorRegistry::Register(TEntry aEntry) { FEntries.push_back(std::move(aEntry)); }

const TPropertyEditorRegistry::TEntry* TPropertyEditorRegistry::Find(
    const std::string& aComponentClass, const TPublishedProperty& aProperty) const {
  const TEntry* best = nullptr;
  int bestScore = -1;
  for (const auto& e : FEntries) {
    if (!TPublishedTable::SameName(e.TypeName, aProperty.TypeName)) continue;
    if (!e.ComponentClass.empty() && !TPublishedTable::SameName(e.ComponentClass, aComponentClass))
      continue;
    if (!e.PropertyName.empty() && !TPublishedTable::SameName(e.PropertyName, aProperty.Name))
      continue;
    int score = (e.PropertyName.empty() ? 0 : 2) + (e.ComponentClass.empty() ? 0 : 1);
    if (score >= bestScore) {
      best = &e;
      bestScore = score;
    }
  }
  return best;
}

std::string TPropertyEditorRegistry::EditorClassFor(const std::string& aComponentClass,
                                                    const TPublishedProperty& aProperty) const {
  if (const TEntry* e = Find(aComponentClass, aProperty)) return e->EditorClass;
  switch (aProperty.Kind) {
    case pkString: return "TStringProperty";
    case pkInteger: return "TIntegerProperty";
    case pkBoolean:
    case pkEnumeration: return "TEnumProperty";
    case pkStrings: return "TStringListProperty";
    case pkEvent: return "TMethodProperty";
  }
  return "TStringProperty";
}

std::unique_ptr<TPropertyEditor> TPropertyEditorRegistry::CreateEditor(
    TFormDesigner& aDesigner, std::vector<TComponent*> aComponents,
    const TPublishedProperty& aProperty) const {
  std::string cls = aComponents.empty() ? std::string() : aComponents.front()->ClassName();
  if (const TEntry* e = Find(cls, aProperty))
    return e->Create(aDesigner, std::move(aComponents), aProperty);
  switch (aProperty.Kind) {
    case pkString:
      return std::make_unique<TStringProperty>(aDesigner, std::move(aComponents), aProperty);
    case pkInteger:
      return std::make_unique<TIntegerProperty>(aDesigner, std::move(aComponents), aProperty);
    case pkBoolean:
    case pkEnumeration:
      return std::make_unique<TEnumProperty>(aDesigner, std::move(aComponents), aProperty);
    case pkStrings:
      return std::make_unique<TStringListProperty>(aDesigner, std::move(aComponents), aProperty);
    case pkEvent:
      return std::make_unique<TMethodProperty>(aDesigner, std::move(aComponents), aProperty);
  }
  return std::make_unique<TStringProperty>(aDesigner, std::move(aComponents), aProperty);
}

TPropertyEditorRegistry& PropertyEditors() {
  static TPropertyEditorRegistry registry;
  return registry;
}

}  // namespace Vellix::Design
