#include "unzip/Destination.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Decantor::Unzip {

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

void CloseUnlessRoot(int aFd, int aRoot) {
  if (aFd >= 0 && aFd != aRoot) close(aFd);
}

}  // namespace

int TDestination::WalkDirectories(const char* aPath, size_t aLength, bool aCreate, TReport& aReport,
                                  int32_t& aResult) {
  int dir = FRoot;
  size_t pos = 0;
  while (pos < aLength) {
    size_t end = pos;
    while (end < aLength && aPath[end] != '/') ++end;
    char part[256];
    const size_t partLength = end - pos;
    if (partLength >= sizeof part) {
      CloseUnlessRoot(dir, FRoot);
      aResult = aReport.Fail(urWriteFailed, "name too long in %s", aPath);
      return -1;
    }
    std::memcpy(part, aPath + pos, partLength);
    part[partLength] = '\0';
    pos = end + 1;

    int next = openat(dir, part, kDirFlags);
    if (next < 0 && errno == ENOENT && aCreate) {
      if (mkdirat(dir, part, 0777) == 0) {
        Remember(aPath, end, true, false);
      } else if (errno != EEXIST) {
        const int error = errno;
        CloseUnlessRoot(dir, FRoot);
        aResult = aReport.Fail(urWriteFailed, "cannot create directory %.*s: %s", int(end),
                               aPath, std::strerror(error));
        return -1;
      }
      next = openat(dir, part, kDirFlags);
    }
    if (next < 0) {
      const int error = errno;
      CloseUnlessRoot(dir, FRoot);
      // ELOOP and ENOTDIR: a link or a file stands where a directory is needed.
      aResult = aReport.Fail(urWriteFailed, "%.*s is not a directory: %s", int(end), aPath,
                             std::strerror(error));
      return -1;
    }
    CloseUnlessRoot(dir, FRoot);
    dir = next;
  }
  return dir;
}

TDestination::~TDestination() {
  DiscardFile();
  ForgetParent();
  if (FRoot >= 0) close(FRoot);
  for (size_t i = 0; i < FCreatedCount; ++i) std::free(FCreated[i].Path);
  std::free(FCreated);
}

void TDestination::Remember(const char* aPath, size_t aLength, bool aDirectory, bool aAbsolute) {
  if (FCreatedCount == FCreatedCapacity) {
    const size_t capacity = FCreatedCapacity ? FCreatedCapacity * 2 : 64;
    void* grown = std::realloc(FCreated, capacity * sizeof *FCreated);
    if (grown == nullptr) return;  // then only this much can be taken back
    FCreated = static_cast<TCreated*>(grown);
    FCreatedCapacity = capacity;
  }
  char* path = static_cast<char*>(std::malloc(aLength + 1));
  if (path == nullptr) return;
  std::memcpy(path, aPath, aLength);
  path[aLength] = '\0';
  FCreated[FCreatedCount++] = {path, aDirectory, aAbsolute};
}

size_t TDestination::Depth(const char* aPath) {
  size_t depth = 0;
  for (const char* c = aPath; *c != '\0'; ++c) depth += *c == '/';
  return depth;
}

bool TDestination::Present(int aDir, const char* aLeaf) {
  struct stat st {};
  return fstatat(aDir, aLeaf, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

void TDestination::Adopt(TDestination& aOther) {
  for (size_t i = 0; i < aOther.FCreatedCount; ++i) {
    const TCreated& created = aOther.FCreated[i];
    Remember(created.Path, std::strlen(created.Path), created.Directory, created.Absolute);
    std::free(created.Path);
  }
  aOther.FCreatedCount = 0;
}

void TDestination::RemoveCreated(const TCreated& aCreated) {
  if (aCreated.Absolute) {
    rmdir(aCreated.Path);
    return;
  }
  if (FRoot < 0) return;
  TReport quiet(nullptr);
  int32_t result = urOk;
  const char* slash = std::strrchr(aCreated.Path, '/');
  const char* leaf = slash == nullptr ? aCreated.Path : slash + 1;
  // Walked again without following links: nothing outside is touched even
  // if the tree changed meanwhile.
  const int dir =
      WalkDirectories(aCreated.Path, slash == nullptr ? 0 : size_t(slash - aCreated.Path), false, quiet, result);
  if (dir < 0) return;
  unlinkat(dir, leaf, aCreated.Directory ? AT_REMOVEDIR : 0);
  CloseUnlessRoot(dir, FRoot);
}

void TDestination::RollBack() {
  DiscardFile();
  // Files and links first; then the directories, deepest first, each
  // removed only when empty. Notes adopted from workers interleave in no
  // particular order, so the depth decides, not the order of creation.
  for (size_t i = FCreatedCount; i-- > 0;)
    if (!FCreated[i].Directory) RemoveCreated(FCreated[i]);
  size_t deepest = 0;
  for (size_t i = 0; i < FCreatedCount; ++i)
    if (FCreated[i].Directory && !FCreated[i].Absolute) deepest = std::max(deepest, Depth(FCreated[i].Path));
  for (size_t depth = deepest + 1; depth-- > 0;)
    for (size_t i = FCreatedCount; i-- > 0;)
      if (FCreated[i].Directory && !FCreated[i].Absolute && Depth(FCreated[i].Path) == depth)
        RemoveCreated(FCreated[i]);
  // Last the destination and the parents Open made for it, innermost first.
  for (size_t i = FCreatedCount; i-- > 0;)
    if (FCreated[i].Absolute) RemoveCreated(FCreated[i]);
}

int32_t TDestination::Open(const char* aDir, TReport& aReport) {
  const size_t length = std::strlen(aDir);
  char* path = static_cast<char*>(std::malloc(length + 1));
  if (path == nullptr) return aReport.Fail(urNoMemory, "out of memory");
  std::memcpy(path, aDir, length + 1);
  for (size_t i = 1; i <= length; ++i) {
    if (path[i] != '/' && path[i] != '\0') continue;
    const char saved = path[i];
    path[i] = '\0';
    if (mkdir(path, 0777) == 0) {
      Remember(path, i, true, true);
    } else if (errno != EEXIST) {
      const int error = errno;
      std::free(path);
      return aReport.Fail(urWriteFailed, "cannot create directory %s: %s", aDir,
                          std::strerror(error));
    }
    path[i] = saved;
  }
  std::free(path);
  FRoot = open(aDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (FRoot < 0)
    return aReport.Fail(urWriteFailed, "cannot open directory %s: %s", aDir, std::strerror(errno));
  return urOk;
}

uint64_t TDestination::FreeSpace() const {
  struct statvfs fs {};
  if (FRoot < 0 || fstatvfs(FRoot, &fs) != 0) return UINT64_MAX;
  return uint64_t(fs.f_bavail) * uint64_t(fs.f_frsize);
}

bool TDestination::Exists(const char* aPath) const {
  struct stat st {};
  return fstatat(FRoot, aPath, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

int32_t TDestination::MakeDirectories(const char* aPath, TReport& aReport) {
  int32_t result = urOk;
  const int dir = WalkDirectories(aPath, std::strlen(aPath), true, aReport, result);
  CloseUnlessRoot(dir, FRoot);
  return result;
}

int TDestination::OpenParent(const char* aPath, const char*& aLeaf, TReport& aReport,
                             int32_t& aResult) {
  const char* slash = std::strrchr(aPath, '/');
  aLeaf = slash == nullptr ? aPath : slash + 1;
  const size_t length = slash == nullptr ? 0 : size_t(slash - aPath);
  // An archive stores a folder's files together: the walk is done once per
  // folder, and the descriptor kept stays on the directory it reached even
  // if the tree is changed meanwhile.
  if (FParent >= 0 && length == FParentLength && std::memcmp(aPath, FParentPath, length) == 0) return FParent;
  ForgetParent();
  char* path = static_cast<char*>(std::malloc(length + 1));
  if (path == nullptr) {
    aResult = aReport.Fail(urNoMemory, "out of memory");
    return -1;
  }
  const int dir = WalkDirectories(aPath, length, true, aReport, aResult);
  if (dir < 0) {
    std::free(path);
    return -1;
  }
  std::memcpy(path, aPath, length);
  FParent = dir;
  FParentPath = path;
  FParentLength = length;
  return dir;
}

void TDestination::ForgetParent() {
  CloseUnlessRoot(FParent, FRoot);
  FParent = -1;
  std::free(FParentPath);
  FParentPath = nullptr;
  FParentLength = 0;
}

void TDestination::MakeTempName() {
  // Names are only proposed here: creating them with O_EXCL (or symlinkat)
  // is what makes the choice race-free.
  if (FPid == 0) FPid = long(getpid());
  std::snprintf(FTempName, sizeof FTempName, ".dunzip-%ld-%u.tmp", FPid, FTempCounter++);
}

int32_t TDestination::BeginFile(const char* aPath, uint32_t aMode, TReport& aReport) {
  DiscardFile();
  int32_t result = urOk;
  const char* leaf = nullptr;
  FFileDir = OpenParent(aPath, leaf, aReport, result);
  if (FFileDir < 0) return result;
  for (int attempt = 0; attempt < 1000 && FFile < 0; ++attempt) {
    MakeTempName();
    FFile = openat(FFileDir, FTempName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   aMode & 0777);
    if (FFile < 0 && errno != EEXIST) break;
  }
  if (FFile < 0) {
    const int error = errno;
    FFileDir = -1;
    return aReport.Fail(urWriteFailed, "cannot create %s: %s", aPath, std::strerror(error));
  }
  FFilePath = aPath;
  FFileLeaf = leaf;
  return urOk;
}

int32_t TDestination::WriteFile(const char* aData, size_t aSize, TReport& aReport) {
  while (aSize > 0) {
    const ssize_t written = write(FFile, aData, aSize);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0)
      return aReport.Fail(urWriteFailed, "cannot write %s: %s", FFilePath,
                          written < 0 ? std::strerror(errno) : "nothing written");
    aData += written;
    aSize -= size_t(written);
  }
  return urOk;
}

int32_t TDestination::Replace(int aDir, const char* aLeaf, const char* aPath, TReport& aReport) {
  if (renameat(aDir, FTempName, aDir, aLeaf) == 0) return urOk;
  const int error = errno;
  unlinkat(aDir, FTempName, 0);
  return aReport.Fail(urWriteFailed, "cannot create %s: %s", aPath, std::strerror(error));
}

int32_t TDestination::CommitFile(time_t aModTime, TReport& aReport) {
  const struct timespec times[2] = {{aModTime, 0}, {aModTime, 0}};
  futimens(FFile, times);  // a file system without times still gets the data
  const bool closed = close(FFile) == 0;
  FFile = -1;
  int32_t result = urOk;
  if (!closed) {
    unlinkat(FFileDir, FTempName, 0);
    result = aReport.Fail(urWriteFailed, "cannot write %s: %s", FFilePath, std::strerror(errno));
  } else {
    const bool existed = Present(FFileDir, FFileLeaf);
    result = Replace(FFileDir, FFileLeaf, FFilePath, aReport);
    if (result == urOk && !existed) Remember(FFilePath, std::strlen(FFilePath), false, false);
  }
  FFileDir = -1;
  return result;
}

void TDestination::DiscardFile() {
  if (FFile >= 0) {
    close(FFile);
    unlinkat(FFileDir, FTempName, 0);
    FFile = -1;
  }
  FFileDir = -1;
}

int32_t TDestination::MakeLink(const char* aPath, const char* aTarget, TReport& aReport) {
  int32_t result = urOk;
  const char* leaf = nullptr;
  const int dir = OpenParent(aPath, leaf, aReport, result);
  if (dir < 0) return result;
  bool made = false;
  for (int attempt = 0; attempt < 1000 && !made; ++attempt) {
    MakeTempName();
    made = symlinkat(aTarget, dir, FTempName) == 0;
    if (!made && errno != EEXIST) break;
  }
  if (made) {
    const bool existed = Present(dir, leaf);
    result = Replace(dir, leaf, aPath, aReport);
    if (result == urOk && !existed) Remember(aPath, std::strlen(aPath), false, false);
  } else
    result = aReport.Fail(urWriteFailed, "cannot create link %s: %s", aPath, std::strerror(errno));
  return result;
}

}  // namespace Decantor::Unzip
