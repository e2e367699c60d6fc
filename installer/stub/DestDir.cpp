#include "DestDir.h"

#include "DestinationCheck.h"
#include "InstallerFace.h"
#include "RmErrors.h"
#include "RmMessages.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

bool IsUtf8Continuation(char aByte) { return (static_cast<unsigned char>(aByte) & 0xC0) == 0x80; }

// aText within aMax bytes: a longer one keeps its start and its end with
// "..." between, cut on whole UTF-8 characters.
std::string MiddleShortened(const std::string& aText, size_t aMax) {
  if (aText.size() <= aMax) return aText;
  const size_t keep = aMax - 3;
  size_t head = keep / 2;
  while (head > 0 && IsUtf8Continuation(aText[head])) --head;
  size_t tail = aText.size() - (keep - keep / 2);
  while (tail < aText.size() && IsUtf8Continuation(aText[tail])) ++tail;
  return aText.substr(0, head) + "..." + aText.substr(tail);
}

}  // namespace

void TDestDirForm::FormCloseQuery(bool& CanClose) {
  if (FModalResult != mrOk) return;
  // A file in the way, or a place this user may not write, is refused now:
  // the question would promise a directory that cannot be made.
  const std::string problem = DestinationProblem(FPath);
  if (!problem.empty()) {
    CustomMsg(problem, MB_OK | MB_ICONSTOP);
    CanClose = false;
    return;
  }
  if (DirExists(FPath)) return;
  // A message holds kShortStringMax bytes: a long path gives up its middle,
  // so that the question keeps its " ?". The path itself is used whole.
  static const std::string prefix = "Create directory: ", suffix = " ?";
  CanClose = Confirm(0, prefix + MiddleShortened(FPath, kShortStringMax - prefix.size() - suffix.size()) + suffix);
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
