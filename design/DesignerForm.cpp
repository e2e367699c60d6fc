#include "DesignerForm.h"

#include <vellix/Exception.h>
#include <vellix/FormFile.h>

namespace Vellix::Design {

TDesignerForm::TDesignerForm(const TPalette& aPalette, const TPropertyEditorRegistry& aEditors)
    : FPalette(aPalette), FEditors(aEditors) {}

void TDesignerForm::New() {
  FComponent.reset();
  FFileName.clear();
  FModified = false;
  Changed();
}

void TDesignerForm::Open(const std::string& aFileName) {
  TFormData form = ParseFormFile(aFileName);
  const TComponentClass* cls = FPalette.FindClass(form.ClassName);
  if (!cls || !cls->Create)
    throw EFormError(form.Source, form.ClassLine,
                     "class " + form.ClassName + " is not on the component palette");
  std::unique_ptr<TComponent> component = cls->Create(nullptr);
  ApplyForm(*component, form, {}, hbNamesOnly);
  FComponent = std::move(component);
  FFileName = aFileName;
  FModified = false;
  Changed();
}

void TDesignerForm::Save() {
  if (FFileName.empty()) throw Exception("The form has no file name");
  SaveAs(FFileName);
}

void TDesignerForm::SaveAs(const std::string& aFileName) {
  if (!FComponent) throw Exception("The form holds no component to save");
  SaveFormFile(*FComponent, aFileName);
  FFileName = aFileName;
  FModified = false;
  Changed();
}

TComponent& TDesignerForm::Place(const TComponentClass& aClass) {
  if (FComponent) throw Exception("The form already holds " + FComponent->Name());
  std::unique_ptr<TComponent> component = aClass.Create(nullptr);
  std::string base = aClass.ClassName;
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
  component->SetName(base + "1");
  FComponent = std::move(component);
  Modified();
  return *FComponent;
}

std::string TDesignerForm::Caption() const {
  std::string name = FFileName.empty() ? "Untitled" : FFileName;
  size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  return "Vellix Designer - " + name + (FModified ? " *" : "");
}

std::vector<std::unique_ptr<TPropertyEditor>> TDesignerForm::CreateEditors() {
  std::vector<std::unique_ptr<TPropertyEditor>> editors;
  if (!FComponent) return editors;
  for (const auto& p : FComponent->PublishedProperties().Properties())
    editors.push_back(FEditors.CreateEditor(*this, {FComponent.get()}, p));
  return editors;
}

void TDesignerForm::Rename(const std::string& aName) {
  if (!FComponent) return;
  if (!TPublishedTable::IsIdentifier(aName))
    throw Exception("'" + aName + "' is not a valid component name");
  if (aName == FComponent->Name()) return;
  FComponent->SetName(aName);
  Modified();
}

void TDesignerForm::Modified() {
  FModified = true;
  Changed();
}

void TDesignerForm::Changed() {
  if (OnChange) OnChange();
}

}  // namespace Vellix::Design
