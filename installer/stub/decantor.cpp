// decantor: the installer program. Packaged with the unzip component and an
// archive (decantor-pack), it installs the archive's files; unpackaged it has
// nothing to install and says so.
#include <getopt.h>

#include <cstdio>
#include <memory>

#include "AnsweringFace.h"
#include "ConfigRecord.h"
#include "ConsoleFace.h"
#include "Main.h"
#include "RmMessages.h"
#include "WindowModule.h"

namespace {

constexpr const char* kUsage =
    "usage: %s [--gui | --console] [--dest DIR] [--yes] [--no-run] [--list]\n"
    "       [--screenshots DIR] [--help]\n"
    "\n"
    "Installs the files this installer carries. Without options it shows its windows\n"
    "when a display is available and works on the console otherwise (saying why).\n"
    "\n"
    "  --gui              show windows (needs a display)\n"
    "  --console          ask and report on the console, even with a display\n"
    "  --dest DIR         install into DIR instead of asking for the destination\n"
    "                     (installers that install beside themselves ignore it)\n"
    "  --yes              answer every question with Yes and accept the offered\n"
    "                     destination: an unattended install\n"
    "  --no-run           do not start the command the installer runs afterwards\n"
    "  --list             list the carried files, checking each one, and install nothing\n"
    "  --screenshots DIR  save a PNG picture of each window as it appears\n"
    "  --help             show this text\n"
    "\n"
    "Exit status: 0 when the files were installed (or the destination question was\n"
    "cancelled, before anything was written), 1 when the installation failed,\n"
    "2 for wrong options.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace Decantor;
  enum { kGui = 1000, kConsole, kDest, kYes, kNoRun, kList, kShots, kHelp };
  static const option options[] = {
      {"gui", no_argument, nullptr, kGui},        {"console", no_argument, nullptr, kConsole},
      {"dest", required_argument, nullptr, kDest}, {"yes", no_argument, nullptr, kYes},
      {"no-run", no_argument, nullptr, kNoRun},    {"list", no_argument, nullptr, kList},
      {"screenshots", required_argument, nullptr, kShots},
      {"help", no_argument, nullptr, kHelp},       {nullptr, 0, nullptr, 0}};
  TRunOptions run;
  int face = 0;
  bool yes = false;
  bool list = false;
  std::string shots;
  int opt;
  while ((opt = getopt_long(argc, argv, "", options, nullptr)) != -1) {
    switch (opt) {
      case kGui:
      case kConsole: face = opt; break;
      case kDest: run.Destination = optarg; break;
      case kYes:
        yes = true;
        run.AcceptDestination = true;
        break;
      case kNoRun: run.NoRun = true; break;
      case kList: list = true; break;
      case kShots: shots = optarg; break;
      case kHelp: std::printf(kUsage, argv[0]); return 0;
      default: std::fprintf(stderr, kUsage, argv[0]); return 2;
    }
  }
  if (optind < argc) {
    std::fprintf(stderr, kUsage, argv[0]);
    return 2;
  }

  SetApplicationTitle(TMainForm::kStartTitle);
  // The windows' module is loaded only for a run that may show them.
  std::unique_ptr<TInstallerFace> shown;
  if (face != kConsole && !list) {
    std::string whyNot;
    shown = LoadWindowFace(shots, whyNot);
    if (!shown && face == kGui) {
      std::fprintf(stderr, "%s: --gui needs windows, and they cannot be shown: %s\n", argv[0], whyNot.c_str());
      return 2;
    }
    if (!shown) std::fprintf(stderr, "%s: no windows (%s): working on the console\n", argv[0], whyNot.c_str());
  }
  if (!shown) shown = std::make_unique<TConsoleFace>(stdin, stdout, stderr);
  TInstallerFace* active = shown.get();
  std::unique_ptr<TAnsweringFace> answering;
  if (yes) {
    answering = std::make_unique<TAnsweringFace>(*shown, stdout);
    active = answering.get();
  }
  SetUserInterface(active);
  TMainForm form(*active, ReadConfigRecord(), run);
  const int status = list ? form.ListContents() : form.Run();
  SetUserInterface(nullptr);
  return status;
}
