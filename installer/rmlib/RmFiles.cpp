#include "RmFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <vector>

#include "FileHandle.h"
#include "RmErrors.h"
#include "RmMessages.h"
#include "RmPaths.h"
#include "RmSettings.h"

namespace Decantor {

namespace {

void ReportProgress(std::size_t aChunk) {
  SetBytesCopied(BytesCopied() + static_cast<int64_t>(aChunk));
  if (CopyProgress())
    CopyProgress()(static_cast<int32_t>(
        std::nearbyint(static_cast<double>(BytesCopied()) * 100.0 / BytesToCopy())));
}

}  // namespace

void CopyFile(const std::string& Source, const std::string& Dest) {
  if (!FileExists(Source)) RaiseError(kErrFileNotFound, Source);
  if (CopyProgress() && BytesToCopy() == 0) RaiseError(kErrInternal, "CopyFile : BytesToCopy=0");
  std::vector<char> buffer(kCopyChunk);

  std::string dest = ExpandFileName(Dest);
  if (DirExists(dest) || dest.back() == '/') {
    ForceDirectory(dest);
    dest = AddBackslash(dest) + ExtractFileName(Source);
  }

  TFileHandle src(open(Source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat srcStat{};
  if (src.Get() < 0 || fstat(src.Get(), &srcStat) != 0) RaiseError(kErrCantOpen, Source);
  // Copying a file onto itself would delete it before reading it.
  struct stat destStat{};
  if (stat(dest.c_str(), &destStat) == 0 && destStat.st_dev == srcStat.st_dev &&
      destStat.st_ino == srcStat.st_ino)
    return;

  unlink(dest.c_str());
  TFileHandle dst(open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    srcStat.st_mode & 0777));
  if (dst.Get() < 0) RaiseError(kErrCantCreate, dest);

  try {
    for (;;) {
      const ssize_t n = ReadSome(src.Get(), buffer.data(), buffer.size());
      if (n < 0) RaiseError(kErrCantOpen, Source);
      if (n == 0) break;
      if (!WriteAll(dst.Get(), buffer.data(), static_cast<std::size_t>(n)))
        RaiseError(kErrShortWrite, "");
      ReportProgress(static_cast<std::size_t>(n));
      UserInterface().ProcessMessages();
      if (AbortCopy()) break;
    }
  } catch (...) {
    dst.Close();
    unlink(dest.c_str());
    throw;
  }

  struct timespec times[2];
  times[0].tv_nsec = UTIME_OMIT;
  times[0].tv_sec = 0;
  times[1] = srcStat.st_mtim;
  futimens(dst.Get(), times);
  if (!dst.Close()) {
    unlink(dest.c_str());
    RaiseError(kErrShortWrite, "");
  }
}

void DeleteFileIfExists(const std::string& Path) {
  struct stat st{};
  if (Path.empty() || lstat(Path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return;
  if (unlink(Path.c_str()) != 0) RaiseError(kErrFileLocked, Path);
}

}  // namespace Decantor
