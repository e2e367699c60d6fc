#include "DestDir.h"

#include "InstallerFace.h"
#include "RmMessages.h"
#include "RmPaths.h"

namespace Decantor {

void TDestDirForm::FormCloseQuery(bool& CanClose) {
  if (FModalResult != mrOk) return;
  if (DirExists(FPath)) return;
  CanClose = Confirm(0, "Create directory: " + FPath + " ?");
}

bool TDestDirForm::PressOk() {
  FModalResult = mrOk;
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) FModalResult = mrNone;
  return canClose;
}

void TDestDirForm::PressCancel() {
  FModalResult = mrCancel;
  bool canClose = true;
  FormCloseQuery(canClose);
}

}  // namespace Decantor
