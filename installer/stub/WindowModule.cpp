#include "WindowModule.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "ConfigRecord.h"
#include "ElfImage.h"
#include "FileHandle.h"
#include "RmErrors.h"
#include "RmPaths.h"
#include "RmSettings.h"

namespace Decantor {

namespace {

// The bytes after the unzip component in the piece between the two offsets.
bool ReadModule(std::vector<uint8_t>& aModule, std::string& aWhyNot) {
  const TConfigValues record = ReadConfigRecord();
  TFileHandle own(open(OwnPath().c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!own.IsOpen() || fstat(own.Get(), &st) != 0 || !LayoutIsValid(record.DllOffset, record.ZipOffset, st.st_size)) {
    aWhyNot = "this installer carries no window module";
    return false;
  }
  std::vector<uint8_t> piece(size_t(record.ZipOffset - record.DllOffset));
  if (pread(own.Get(), piece.data(), piece.size(), record.DllOffset) != ssize_t(piece.size())) {
    aWhyNot = "its file cannot be read";
    return false;
  }
  const uint64_t unzipEnd = ElfFileEnd(piece.data(), piece.size());
  if (unzipEnd == 0 || unzipEnd >= piece.size()) {
    aWhyNot = "this installer carries no window module";
    return false;
  }
  aModule.assign(piece.begin() + std::ptrdiff_t(unzipEnd), piece.end());
  return true;
}

// Writes aModule to a private temporary file and loads it; the file goes at
// once, the mapping stays.
void* LoadModule(const std::vector<uint8_t>& aModule, std::string& aWhyNot) {
  int fd = -1;
  std::string path;
  try {
    path = CreateTempFile(TempDir(), ".so", fd);
  } catch (const EMerovantError&) {
    aWhyNot = "no temporary file for it";
    return nullptr;
  }
  TFileHandle file(fd);
  const bool written = WriteAll(file.Get(), aModule.data(), aModule.size()) && file.Close();
  void* module = nullptr;
  if (!written)
    aWhyNot = "no room for it in the temporary directory";
  else if (!IsCompleteSharedObject(path))
    aWhyNot = "it is damaged";
  else if (!(module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)))
    aWhyNot = dlerror();
  unlink(path.c_str());
  return module;
}

}  // namespace

std::unique_ptr<TInstallerFace> LoadWindowFace(const std::string& aScreenshotDir, std::string& aWhyNot) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    aWhyNot = "no display";
    return nullptr;
  }
  std::vector<uint8_t> bytes;
  if (!ReadModule(bytes, aWhyNot)) return nullptr;
  void* module = LoadModule(bytes, aWhyNot);
  if (!module) return nullptr;
  auto entry = reinterpret_cast<TWindowFaceEntry>(dlsym(module, kWindowFaceEntry));
  if (!entry) {
    aWhyNot = "it is not a window module";
    return nullptr;
  }
  char why[256] = "";
  std::unique_ptr<TInstallerFace> face(entry(aScreenshotDir.c_str(), why, sizeof why));
  if (!face) aWhyNot = why;
  return face;
}

}  // namespace Decantor
