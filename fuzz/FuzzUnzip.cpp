// The installer's unzip component on arbitrary archive bytes: counting and a
// test extraction (every entry read and checked, nothing written) end with a
// result code, never a crash; the component's report is always a terminated
// string.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "unzip/UnzipCommand.h"

namespace {

std::string ArchivePath() {
  static const std::string path = [] {
    char name[] = "/tmp/vellix-fuzz-unzip-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  const std::string path = ArchivePath();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(aData, 1, aSize, file);
  std::fclose(file);

  for (int32_t operation : {int32_t(uoCount), int32_t(uoExtract)}) {
    TUnzipInfo info{};
    TUnzipCommand command{};
    command.Size = sizeof command;
    command.Info = &info;
    command.Operation = operation;
    command.ZipFile = path.c_str();
    command.DestDir = "/nonexistent/vellix-fuzz";
    command.TestOnly = -1;
    dunzip(&command);
    if (std::memchr(info.Message, '\0', sizeof info.Message) == nullptr) __builtin_trap();
  }
  return 0;
}
