#pragma once
// The property-editor registry of the designer host: which editor class the
// inspector uses for a property, chosen by the property's type, the
// component's class and the property's name.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PropertyEditor.h"

namespace Vellix::Design {

using TPropertyEditorFactory = std::function<std::unique_ptr<TPropertyEditor>(
    TFormDesigner&, std::vector<TComponent*>, const TPublishedProperty&)>;

class TPropertyEditorRegistry {
public:
  struct TEntry {
    std::string TypeName;       // "string"; must match the property's type
    std::string ComponentClass; // "TVellix"; empty for any class
    std::string PropertyName;   // "About"; empty for any property of that type
    std::string EditorClass;    // "TAboutProperty"
    TPropertyEditorFactory Create;
  };

  // Registers an editor. The most specific registration wins (a property
  // name beats none, then a component class beats none); among equals the
  // later one wins, so a package may override an earlier registration.
  void Register(TEntry aEntry);

  // The registration that applies to property aProperty of class
  // aComponentClass, or null when the standard editor of its kind applies.
  const TEntry* Find(const std::string& aComponentClass, const TPublishedProperty& aProperty) const;
  // The class name of the editor the inspector would use.
  std::string EditorClassFor(const std::string& aComponentClass,
                             const TPublishedProperty& aProperty) const;
  // An editor for aProperty of the selection aComponents (all of one class):
  // the registered one, else the standard one of the property's kind.
  std::unique_ptr<TPropertyEditor> CreateEditor(TFormDesigner& aDesigner,
                                                std::vector<TComponent*> aComponents,
                                                const TPublishedProperty& aProperty) const;

  const std::vector<TEntry>& Entries() const { return FEntries; }
  void Clear() { FEntries.clear(); }

private:
  std::vector<TEntry> FEntries;
};

// The registry of this process, filled by Register functions.
TPropertyEditorRegistry& PropertyEditors();

// Registers editor class E on PropertyEditors().
template <class E>
void RegisterPropertyEditor(const std::string& aTypeName, const std::string& aComponentClass,
                            const std::string& aPropertyName, const std::string& aEditorClass) {
  PropertyEditors().Register(
      {aTypeName, aComponentClass, aPropertyName, aEditorClass,
       [](TFormDesigner& d, std::vector<TComponent*> c,
          const TPublishedProperty& p) -> std::unique_ptr<TPropertyEditor> {
         return std::make_unique<E>(d, std::move(c), p);
       }});
}

}  // namespace Vellix::Design
