// Opening the finished document in the desktop's PDF viewer and the maker's
// web page in the browser.

#include <sys/stat.h>

#include <vellix/Document.h>
#include "platform/os/Launcher.h"

namespace Vellix {

std::string AcrobatFile;

namespace {

constexpr const char* MerovantAddress = "https://www.merovant.com/";

// The viewer command found with AcrobatFile (its arguments and field codes).
Launcher::TLaunchCommand& ViewerCommand() {
  static Launcher::TLaunchCommand command;
  return command;
}

bool FileExists(const std::string& aFileName) {
  struct stat st {};
  return !aFileName.empty() && ::stat(aFileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void TVellix::FindAcrobat() {
  AcrobatFile.clear();
  Launcher::TLaunchCommand command = Launcher::FindPdfViewer();
  if (!command.Empty() && FileExists(command.Program)) {
    AcrobatFile = command.Program;
    ViewerCommand() = std::move(command);
  }
  if (AcrobatFile.empty()) RaiseError(MSG_CANT_FIND_ACROBAT);
}

void TVellix::Show() {
  if (!FileExists(FFileName)) RaiseError(MSG_FILE_NOT_FOUND, FFileName);
  if (!FileExists(AcrobatFile) || ViewerCommand().Program != AcrobatFile) FindAcrobat();
  Launcher::LaunchDetached(ViewerCommand(), FFileName);
}

void TVellix::ConnectToMerovant(const std::string& aPageRef) {
  const Launcher::TLaunchCommand browser = Launcher::FindWebBrowser();
  if (browser.Empty()) RaiseError(MSG_NO_BROWSER);
  if (!Launcher::LaunchDetached(browser, MerovantAddress + aPageRef)) RaiseError(MSG_NO_BROWSER);
}

}  // namespace Vellix
