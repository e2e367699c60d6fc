#pragma once
// The form being designed: at most one component, the form file it came from
// and whether it changed since it was saved. This is the designer program's
// model, apart from its windows, so it runs without a display.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Palette.h"
#include "PropertyEditor.h"
#include "PropertyEditorRegistry.h"

namespace Vellix::Design {

class TDesignerForm : public TFormDesigner {
public:
  // aPalette and aEditors are borrowed for the form's life.
  TDesignerForm(const TPalette& aPalette, const TPropertyEditorRegistry& aEditors);

  // An empty, unmodified form without a file name.
  void New();
  // Loads a form file: its class must be on the palette. Handler names are
  // kept, not bound. Throws EFormError, EStreamError or Exception; the form
  // stays as it was on failure.
  void Open(const std::string& aFileName);
  // Saves to FileName() (or aFileName, which becomes the form's file name)
  // and clears Modified. Throws EStreamError, or Exception without a
  // component or file name.
  void Save();
  void SaveAs(const std::string& aFileName);

  // Places a new component of aClass on the form, named after its class
  // ("TVellix" gives "Vellix1"). A form holds one component: throws
  // Exception when it already has one.
  TComponent& Place(const TComponentClass& aClass);

  // The component, or null on an empty form.
  TComponent* Component() const { return FComponent.get(); }
  const std::string& FileName() const { return FFileName; }
  bool IsModified() const { return FModified; }
  // "Vellix Designer - name.vfm" with " *" when modified.
  std::string Caption() const;

  // The editors of the component's published properties in declaration
  // order, as the registry chooses them. Empty on an empty form. The editors
  // borrow the form and the component: rebuild them after New, Open and Place.
  std::vector<std::unique_ptr<TPropertyEditor>> CreateEditors();
  // Renames the component; throws Exception unless aName is an identifier.
  void Rename(const std::string& aName);

  // TFormDesigner: marks the form modified and runs OnChange.
  void Modified() override;
  // Runs whenever the form's content or state changed (to refresh windows).
  std::function<void()> OnChange;

private:
  void Changed();

  const TPalette& FPalette;
  const TPropertyEditorRegistry& FEditors;
  std::unique_ptr<TComponent> FComponent;
  std::string FFileName;
  bool FModified = false;
};

}  // namespace Vellix::Design
