#include "ZipFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "FileHandle.h"
#include "Packager.h"

namespace Decantor {

namespace {

// "Version made by": Unix (3), so readers take the permission bits from the external
// attributes; format version 2.0.
constexpr uLong kMadeByUnix = (3u << 8) | 20u;

std::vector<std::string> SortedNames(const std::string& aDir) {
  std::vector<std::string> names;
  DIR* dir = opendir(aDir.c_str());
  if (!dir) throw EPackError("cannot read folder \"" + aDir + "\": " + std::strerror(errno));
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

zip_fileinfo EntryInfo(const struct stat& aStat) {
  zip_fileinfo info{};
  std::tm local{};
  localtime_r(&aStat.st_mtime, &local);
  info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
  info.external_fa = static_cast<uLong>(aStat.st_mode & 0xFFFF) << 16;
  if (S_ISDIR(aStat.st_mode)) info.external_fa |= 0x10;  // the MS-DOS directory attribute
  return info;
}

class TZipWriter {
public:
  explicit TZipWriter(const std::string& aPath) : FPath(aPath) {
    FZip = zipOpen64(aPath.c_str(), APPEND_STATUS_CREATE);
    if (!FZip) throw EPackError("cannot create archive \"" + aPath + "\"");
  }
  ~TZipWriter() {
    if (FZip) zipClose(FZip, nullptr);
  }
  TZipWriter(const TZipWriter&) = delete;
  TZipWriter& operator=(const TZipWriter&) = delete;

  void AddFolder(const std::string& aFolder, const std::string& aPrefix) {
    for (const std::string& name : SortedNames(aFolder)) {
      std::string full = aFolder + "/" + name;
      std::string entry = aPrefix + name;
      struct stat st{};
      if (stat(full.c_str(), &st) != 0)
        throw EPackError("cannot read \"" + full + "\": " + std::strerror(errno));
      if (S_ISDIR(st.st_mode)) {
        Open(entry + "/", st, 0);
        Close(entry);
        AddFolder(full, entry + "/");
      } else if (S_ISREG(st.st_mode)) {
        AddFile(full, entry, st);
      } else {
        throw EPackError("\"" + full + "\" is neither a file nor a folder");
      }
    }
  }

  void Finish() {
    int rc = zipClose(FZip, nullptr);
    FZip = nullptr;
    if (rc != ZIP_OK) throw EPackError("cannot write archive \"" + FPath + "\"");
  }

private:
  void Open(const std::string& aEntry, const struct stat& aStat, int aMethod) {
    zip_fileinfo info = EntryInfo(aStat);
    int zip64 = aStat.st_size >= 0xFFFFFFFFLL ? 1 : 0;
    if (zipOpenNewFileInZip4_64(FZip, aEntry.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                aMethod, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, 0, zip64) != ZIP_OK)
      throw EPackError("cannot add \"" + aEntry + "\" to archive \"" + FPath + "\"");
  }

  void Close(const std::string& aEntry) {
    if (zipCloseFileInZip(FZip) != ZIP_OK)
      throw EPackError("cannot add \"" + aEntry + "\" to archive \"" + FPath + "\"");
  }

  void AddFile(const std::string& aFile, const std::string& aEntry, const struct stat& aStat) {
    const TFileHandle fd(open(aFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) throw EPackError("cannot read \"" + aFile + "\": " + std::strerror(errno));
    Open(aEntry, aStat, Z_DEFLATED);
    char buf[65536];
    for (;;) {
      const ssize_t n = ReadSome(fd.Get(), buf, sizeof buf);
      if (n < 0) throw EPackError("cannot read \"" + aFile + "\": " + std::strerror(errno));
      if (n == 0) break;
      if (zipWriteInFileInZip(FZip, buf, static_cast<unsigned>(n)) != ZIP_OK)
        throw EPackError("cannot write archive \"" + FPath + "\"");
    }
    Close(aEntry);
  }

  std::string FPath;
  zipFile FZip = nullptr;
};

}  // namespace

void ZipFolder(const std::string& Folder, const std::string& ZipPath) {
  struct stat st{};
  if (stat(Folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    throw EPackError("folder \"" + Folder + "\" does not exist");
  std::string root = Folder.size() > 1 && Folder.back() == '/' ? Folder.substr(0, Folder.size() - 1)
                                                                : Folder;
  TZipWriter writer(ZipPath);
  writer.AddFolder(root, "");
  writer.Finish();
}

}  // namespace Decantor
