#include "PdfReg.h"

#include "DesignDialogs.h"
#include "Palette.h"
#include "PropertyEditorRegistry.h"
#include <vellix/PaperSizes.h>
#include <vellix/Document.h>

namespace Vellix::Design {

std::string SPdfFileNameTitle = "PDF File Name";
std::string SPdfFileNameFilter = "PDF Files|*.pdf|All Files|*.*";

const char* const MerovantWebAddress = "www.merovant.com";

void TAboutProperty::Edit() {
  auto& vellix = static_cast<TVellix&>(GetComponent(0));
  DesignDialogs().ShowAbout(VellixAboutBoxContent(), [&vellix] {
    try {
      vellix.ConnectToMerovant("");
    } catch (const std::exception& e) {
      DesignDialogs().ShowError(e.what());
    }
  });
}

void TFileNameProperty::Edit() {
  TFileDialogRequest request{SPdfFileNameTitle, SPdfFileNameFilter, GetStrValue()};
  if (!DesignDialogs().ExecuteSave(request)) return;
  SetFirstPropValue(request.FileName);
}

void TPaperSizeNameProperty::GetValues(
    const std::function<void(const std::string&)>& aProc) const {
  for (const char* name : PaperSizeNames) aProc(name);
}

TAboutBoxContent VellixAboutBoxContent() {
  TAboutBoxContent c;
  c.Caption = "About Vellix Builder";
  c.Title = {10, 24, 280, 16, std::string("Merovant Vellix Builder version ") + VellixVersion, 10};
  c.Title.Bold = true;
  c.Link = {10, 96, 280, 16, MerovantWebAddress, 8};
  c.Link.Underline = true;
  c.Link.Color = clBlue;
  c.Link.HandCursor = true;
  return c;
}

void Register() {
  RegisterComponents("Merovant", {ComponentClassOf<TVellix>("TVellix")});
  RegisterPropertyEditor<TAboutProperty>("string", "TVellix", "About", "TAboutProperty");
  RegisterPropertyEditor<TFileNameProperty>("string", "TVellix", "FileName", "TFileNameProperty");
  RegisterPropertyEditor<TPaperSizeNameProperty>("string", "TVellix", "PaperSizeName",
                                                 "TPaperSizeNameProperty");
}

}  // namespace Vellix::Design
