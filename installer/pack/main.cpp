// decantor-pack: builds an installer file from the stub, the unzip component and an archive
// (or a folder to archive), with the installer's settings written into the stub's record.
#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Packager.h"
#include "RmErrors.h"
#include "RmFiles.h"
#include "RmPaths.h"
#include "ZipFolder.h"

namespace {

constexpr const char* kUsage =
    "usage: decantor-pack --stub FILE --unzip FILE [--window FILE]\n"
    "                     (--archive ZIP | --folder DIR) --output FILE [--title TEXT]\n"
    "                     [--dest DIR] [--command LINE] [--register FILE]\n"
    "\n"
    "  --stub FILE       the installer program (decantor) to copy\n"
    "  --unzip FILE      the unzip component (a shared library exporting dunzip)\n"
    "  --window FILE     the window module (decantor-window.so); without it the\n"
    "                    installer works on the console only\n"
    "  --archive ZIP     the zip archive to install\n"
    "  --folder DIR      archive the contents of DIR instead\n"
    "  --output FILE     the installer file to write\n"
    "  --title TEXT      window and message-box caption\n"
    "  --dest DIR        default destination; a leading {ProgramFiles} stands for the\n"
    "                    Program Files directory; empty: beside the installer, no question\n"
    "  --command LINE    command run after extraction; $ is the destination\n"
    "  --register FILE   library registered after extraction; $ is the destination\n"
    "Each text is at most 49 characters.\n";

void Fail(const std::string& aMessage) {
  std::fprintf(stderr, "decantor-pack: %s\n", aMessage.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace Decantor;
  static const option options[] = {
      {"stub", required_argument, nullptr, 's'},    {"unzip", required_argument, nullptr, 'u'},
      {"archive", required_argument, nullptr, 'a'}, {"folder", required_argument, nullptr, 'f'},
      {"output", required_argument, nullptr, 'o'},  {"title", required_argument, nullptr, 't'},
      {"dest", required_argument, nullptr, 'd'},    {"command", required_argument, nullptr, 'c'},
      {"register", required_argument, nullptr, 'r'}, {"help", no_argument, nullptr, 'h'},
      {"window", required_argument, nullptr, 'w'},
      {nullptr, 0, nullptr, 0}};
  TPackInput input;
  std::string folder;
  int opt;
  while ((opt = getopt_long(argc, argv, "", options, nullptr)) != -1) {
    switch (opt) {
      case 's': input.StubPath = optarg; break;
      case 'u': input.UnzipPath = optarg; break;
      case 'w': input.WindowPath = optarg; break;
      case 'a': input.ArchivePath = optarg; break;
      case 'f': folder = optarg; break;
      case 'o': input.OutputPath = optarg; break;
      case 't': input.Title = optarg; break;
      case 'd': input.DestDir = ExpandProgramFilesToken(optarg); break;
      case 'c': input.RunCommand = optarg; break;
      case 'r': input.RegisterFile = optarg; break;
      case 'h': std::fputs(kUsage, stdout); return 0;
      default: std::fputs(kUsage, stderr); return 2;
    }
  }
  if (optind < argc || input.StubPath.empty() || input.UnzipPath.empty() ||
      input.OutputPath.empty() || input.ArchivePath.empty() == folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::string tempZip;
  try {
    if (!folder.empty()) {
      int fd = -1;
      tempZip = CreateTempFile(ExtractFilePath(ExpandFileName(input.OutputPath)), ".zip", fd);
      close(fd);
      ZipFolder(folder, tempZip);
      input.ArchivePath = tempZip;
    }
    PackInstaller(input);
    if (IsEmptyZipArchive(input.ArchivePath))
      std::fprintf(stderr, "decantor-pack: note: the archive holds no files; the installer installs nothing\n");
  } catch (const std::exception& e) {
    Fail(e.what());
    if (!tempZip.empty()) unlink(tempZip.c_str());
    return 1;
  }
  if (!tempZip.empty()) unlink(tempZip.c_str());
  return 0;
}
