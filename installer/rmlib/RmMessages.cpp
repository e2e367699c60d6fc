#include "RmMessages.h"

#include <cstdio>

#include "RmErrors.h"
#include "RmSettings.h"

namespace Decantor {

namespace {

// Used until the program installs its own face: no box can be shown, so the text goes where a
// person may still read it and the default button is taken.
class TStderrInterface final : public TUserInterface {
public:
  int32_t MessageBox(const std::string& Text, const std::string& Caption,
                     uint16_t Flags) override {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    return (Flags & MB_BUTTONMASK) == MB_YESNO ? IDYES : IDOK;
  }
};

TUserInterface* gInterface = nullptr;

std::string& Title() {
  static std::string title = "Merovant auto-extractible file";
  return title;
}

TTrayWindow* FirstShowingTrayWindow() {
  for (TTrayWindow* window : TrayWindows())
    if (window->Showing()) return window;
  return nullptr;
}

}  // namespace

void SetUserInterface(TUserInterface* aInterface) { gInterface = aInterface; }

TUserInterface& UserInterface() {
  static TStderrInterface fallback;
  return gInterface ? *gInterface : fallback;
}

const std::string& ApplicationTitle() { return Title(); }
void SetApplicationTitle(const std::string& aTitle) { Title() = aTitle; }

std::vector<TTrayWindow*>& TrayWindows() {
  static std::vector<TTrayWindow*> windows;
  return windows;
}

int32_t CustomMsg(const std::string& Text, uint16_t Flags) {
  if (SilentMode()) RaiseErrorLogged(kErrSilentMessage, "CustomMsg");
  TTrayWindow* hidden = FirstShowingTrayWindow();
  if (hidden) hidden->HideToTray();
  int32_t result = UserInterface().MessageBox(Text, ApplicationTitle(), Flags);
  if (hidden && FirstShowingTrayWindow() != hidden) hidden->RestoreFromTray();
  return result;
}

bool Confirm(int32_t Code, const std::string& Info) {
  if (SilentMode()) return true;
  return CustomMsg(ErrorText(Code, Info, " ?"), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Warn(int32_t Code, const std::string& Info, bool WithCancel) {
  if (SilentMode()) return true;
  uint16_t buttons = WithCancel ? MB_OKCANCEL : MB_OK;
  bool ok = CustomMsg(ErrorText(Code, Info, "."), buttons | MB_ICONEXCLAMATION) == IDOK;
  IncWarningCount();
  return ok;
}

}  // namespace Decantor
