#pragma once
// Property editors: how the designer's inspector shows and changes one
// published property of the selected components. The inspector asks an
// editor for its attributes (a drop-down list? an ellipsis button?), its value
// as text, the values of its list, and hands it the person's input or the
// ellipsis click. Every change goes through the component's own setter, so the
// setter's errors reach the person; a change that succeeds is reported to the
// designer through TFormDesigner::Modified.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Published.h>

namespace Vellix::Design {

// What the inspector offers for a property (a bit set).
enum TPropertyAttribute : uint32_t {
  paValueList = 1,    // a drop-down list of GetValues
  paSortList = 2,     // ... sorted alphabetically
  paDialog = 4,       // an ellipsis button that calls Edit
  paReadOnly = 8,     // the text cannot be typed in
  paMultiSelect = 16, // may be shown when several components are selected
};
using TPropertyAttributes = uint32_t;

// The designer the editors report to.
class TFormDesigner {
public:
  virtual ~TFormDesigner() = default;
  // A property of a selected component was changed: the form must be saved.
  virtual void Modified() = 0;
};

class TPropertyEditor {
public:
  // aComponents: the selection, at least one; the editor borrows all three.
  TPropertyEditor(TFormDesigner& aDesigner, std::vector<TComponent*> aComponents,
                  const TPublishedProperty& aProperty);
  virtual ~TPropertyEditor() = default;
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;

  // The editor's class name as registered ("TStringProperty").
  virtual std::string ClassName() const = 0;
  virtual TPropertyAttributes GetAttributes() const { return paMultiSelect; }
  // Calls aProc for each value of the drop-down list, in list order.
  virtual void GetValues(const std::function<void(const std::string&)>& aProc) const;
  // The ellipsis button's action. Does nothing unless overridden.
  virtual void Edit() {}
  // The value of the first selected component, as the inspector shows it.
  virtual std::string GetValue() const = 0;
  // Assigns text typed or chosen by the person to every selected component;
  // throws Exception (an unparsable value, or what the setter raises).
  virtual void SetValue(const std::string& aValue) = 0;

  const TPublishedProperty& Property() const { return FProperty; }
  std::string GetName() const { return FProperty.Name; }
  size_t ComponentCount() const { return FComponents.size(); }
  TComponent& GetComponent(size_t aIndex = 0) const { return *FComponents.at(aIndex); }
  TFormDesigner& Designer() const { return FDesigner; }
  // Tells the designer the form changed.
  void Modified() { FDesigner.Modified(); }

protected:
  TPropertyValue GetPropValue() const { return FProperty.Read(GetComponent(0)); }
  // Assigns aValue through the setter of every selected component, then Modified.
  void SetPropValue(const TPropertyValue& aValue);
  // The same for the first selected component only.
  void SetFirstPropValue(const TPropertyValue& aValue);

private:
  TFormDesigner& FDesigner;
  std::vector<TComponent*> FComponents;
  const TPublishedProperty& FProperty;
};

// Plain text: shown and typed as it is.
class TStringProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  std::string ClassName() const override { return "TStringProperty"; }
  std::string GetValue() const override { return GetStrValue(); }
  void SetValue(const std::string& aValue) override { SetStrValue(aValue); }
  std::string GetStrValue() const;
  void SetStrValue(const std::string& aValue) { SetPropValue(aValue); }
};

// Decimal integers; other text is refused with "'x' is not a valid integer value".
class TIntegerProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  std::string ClassName() const override { return "TIntegerProperty"; }
  std::string GetValue() const override;
  void SetValue(const std::string& aValue) override;
};

// Booleans and enumerations: a sorted drop-down of the identifiers.
class TEnumProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  std::string ClassName() const override { return "TEnumProperty"; }
  TPropertyAttributes GetAttributes() const override {
    return paMultiSelect | paValueList | paSortList;
  }
  void GetValues(const std::function<void(const std::string&)>& aProc) const override;
  std::string GetValue() const override;
  // Accepts an identifier case-insensitively; refuses others with
  // "Invalid property value".
  void SetValue(const std::string& aValue) override;
};

// String lists: shown as "(TStrings)", edited line by line in a dialog.
class TStringListProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  std::string ClassName() const override { return "TStringListProperty"; }
  TPropertyAttributes GetAttributes() const override { return paDialog | paReadOnly; }
  std::string GetValue() const override { return "(TStrings)"; }
  void SetValue(const std::string&) override {}
  // Opens the string-list dialog on the first component's list; confirmed
  // lines replace the entries of every selected component's list.
  void Edit() override;
};

// Events: the handler's name. The designer binds no code; the application
// that loads the form supplies the handler of that name.
class TMethodProperty : public TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  std::string ClassName() const override { return "TMethodProperty"; }
  std::string GetValue() const override;
  // An identifier, or empty to unassign; refuses other text with
  // "'x' is not a valid handler name".
  void SetValue(const std::string& aValue) override;
};

}  // namespace Vellix::Design
