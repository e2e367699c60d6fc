#include "Packager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "RmErrors.h"
#include "ElfFile.h"
#include "FileHandle.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

constexpr char kMarker[] = "#TNAVOREM#";
constexpr uint16_t kElfSharedObject = 3;  // ET_DYN
constexpr const char* kUnzipExport = "dunzip";

std::string Quoted(const std::string& aPath) { return "\"" + aPath + "\""; }

// Size of the regular file aPath; EPackError naming it as aWhat otherwise.
int64_t RegularFileSize(const std::string& aPath, const std::string& aWhat) {
  struct stat st{};
  if (aPath.empty()) throw EPackError("no " + aWhat + " given");
  if (stat(aPath.c_str(), &st) != 0)
    throw EPackError(aWhat + " " + Quoted(aPath) + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw EPackError(aWhat + " " + Quoted(aPath) + " is not a file");
  return st.st_size;
}

std::string ReadWhole(const std::string& aPath, const std::string& aWhat) {
  TFileHandle fd(open(aPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) throw EPackError(aWhat + " " + Quoted(aPath) + ": " + std::strerror(errno));
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd.Get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EPackError(aWhat + " " + Quoted(aPath) + ": " + std::strerror(errno));
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  return data;
}

bool IsZipArchive(const std::string& aPath) {
  unzFile zip = unzOpen64(aPath.c_str());
  if (!zip) return false;
  unz_global_info64 info{};
  bool ok = unzGetGlobalInfo64(zip, &info) == UNZ_OK;
  unzClose(zip);
  return ok;
}

void CheckText(const std::string& aName, const std::string& aValue) {
  if (aValue.size() > kConfigFieldLength)
    throw EPackError(aName + " is " + std::to_string(aValue.size()) +
                     " characters long; at most " + std::to_string(kConfigFieldLength) +
                     " fit");
  if (TrimConfigText(aValue) != aValue)
    throw EPackError(aName + " must not begin or end with a space or control character");
}

void WriteOrFail(int aFd, const char* aData, std::size_t aCount, const std::string& aTarget) {
  if (!WriteAll(aFd, aData, aCount))
    throw EPackError("cannot write " + Quoted(aTarget) + ": " + std::strerror(errno));
}

// Appends the file aPath, which must still have aSize bytes, to aFd.
void AppendFile(int aFd, const std::string& aPath, int64_t aSize, const std::string& aTarget) {
  TFileHandle src(open(aPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (src.Get() < 0) throw EPackError("cannot read " + Quoted(aPath) + ": " + std::strerror(errno));
  char buf[65536];
  int64_t copied = 0;
  for (;;) {
    ssize_t n = read(src.Get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EPackError("cannot read " + Quoted(aPath) + ": " + std::strerror(errno));
    if (n == 0) break;
    WriteOrFail(aFd, buf, static_cast<std::size_t>(n), aTarget);
    copied += n;
  }
  if (copied != aSize) throw EPackError(Quoted(aPath) + " changed while it was being packaged");
}

}  // namespace

std::string ExpandProgramFilesToken(const std::string& DestDir) {
  std::string token = kProgramFilesToken;
  if (DestDir.compare(0, token.size(), token) != 0) return DestDir;
  return std::string(1, static_cast<char>(kProgramFilesByte)) + DestDir.substr(token.size());
}

std::vector<std::size_t> FindConfigRecords(const std::string& Data) {
  std::vector<std::size_t> found;
  std::size_t pos = 0;
  while ((pos = Data.find(kMarker, pos)) != std::string::npos) {
    if (pos >= kConfigMarkerOffset &&
        static_cast<uint8_t>(Data[pos - kConfigMarkerOffset]) == kConfigLengthByte &&
        pos - kConfigMarkerOffset + kConfigRecordSize <= Data.size())
      found.push_back(pos - kConfigMarkerOffset);
    ++pos;
  }
  return found;
}

std::array<uint8_t, kConfigRecordSize> EncodeConfigRecord(const TConfigValues& Values) {
  CheckText("title", Values.Title);
  CheckText("destination", Values.DestDir);
  CheckText("command", Values.RunCommand);
  CheckText("file to register", Values.RegisterFile);
  std::array<uint8_t, kConfigRecordSize> record;
  record.fill(' ');
  record[0] = kConfigLengthByte;
  std::memcpy(record.data() + kConfigMarkerOffset, kMarker, kConfigMarkerLength);
  WriteLE32(record.data() + kConfigDllOffset, Values.DllOffset);
  WriteLE32(record.data() + kConfigZipOffset, Values.ZipOffset);
  auto put = [&](std::size_t aOffset, const std::string& aText) {
    std::memcpy(record.data() + aOffset, aText.data(), aText.size());
  };
  put(kConfigTitle, Values.Title);
  put(kConfigDestDir, Values.DestDir);
  put(kConfigRunCommand, Values.RunCommand);
  put(kConfigRegisterFile, Values.RegisterFile);
  return record;
}

void PackInstaller(const TPackInput& Input) {
  TConfigValues values;
  values.Title = Input.Title;
  values.DestDir = Input.DestDir;
  values.RunCommand = Input.RunCommand;
  values.RegisterFile = Input.RegisterFile;
  EncodeConfigRecord(values);  // checks the texts before any file is touched

  RegularFileSize(Input.StubPath, "stub");
  std::string stub = ReadWhole(Input.StubPath, "stub");
  TElfInfo stubElf = ReadElfInfo(Input.StubPath);
  if (!stubElf.IsElf) throw EPackError("stub " + Quoted(Input.StubPath) + " is not a program");
  std::vector<std::size_t> records = FindConfigRecords(stub);
  if (records.empty())
    throw EPackError("stub " + Quoted(Input.StubPath) +
                     " holds no configuration record (marker #TNAVOREM#)");
  if (records.size() > 1)
    throw EPackError("stub " + Quoted(Input.StubPath) + " holds " +
                     std::to_string(records.size()) + " configuration records; one is needed");
  const uint8_t* found = reinterpret_cast<const uint8_t*>(stub.data()) + records[0];
  if (ReadLE32(found + kConfigDllOffset) != 0 || ReadLE32(found + kConfigZipOffset) != 0)
    throw EPackError("stub " + Quoted(Input.StubPath) + " is already a packaged installer");

  int64_t unzipSize = RegularFileSize(Input.UnzipPath, "unzip component");
  int64_t archiveSize = RegularFileSize(Input.ArchivePath, "archive");
  bool unzipIsZip = unzipSize > 0 && IsZipArchive(Input.UnzipPath);
  bool archiveIsElf = archiveSize > 0 && ReadElfInfo(Input.ArchivePath).IsElf;
  std::string swapped = unzipIsZip && archiveIsElf
                            ? " (the unzip component must come before the archive: are they "
                              "swapped?)"
                            : "";
  if (unzipSize == 0) throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " is empty");
  TElfInfo unzipElf = ReadElfInfo(Input.UnzipPath);
  if (!unzipElf.IsElf || unzipElf.Type != kElfSharedObject)
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " is not a shared library" +
                     swapped);
  if (unzipElf.Machine != stubElf.Machine)
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) +
                     " is built for another machine than the stub");
  if (!ElfExportsFunction(Input.UnzipPath, kUnzipExport))
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " does not export " +
                     kUnzipExport);
  if (archiveSize == 0) throw EPackError("archive " + Quoted(Input.ArchivePath) + " is empty");
  if (!IsZipArchive(Input.ArchivePath))
    throw EPackError("archive " + Quoted(Input.ArchivePath) + " is not a zip archive" + swapped);

  int64_t dllOffset = static_cast<int64_t>(stub.size());
  int64_t zipOffset = dllOffset + unzipSize;
  int64_t fileSize = zipOffset + archiveSize;
  if (fileSize > std::numeric_limits<int32_t>::max())
    throw EPackError("the installer would be " + std::to_string(fileSize) +
                     " bytes; offsets are 32-bit, so at most 2147483647 bytes fit");
  if (!LayoutIsValid(dllOffset, zipOffset, fileSize))
    throw EPackError("the pieces do not give 0 < DllOffset < ZipOffset < file size");
  values.DllOffset = static_cast<int32_t>(dllOffset);
  values.ZipOffset = static_cast<int32_t>(zipOffset);
  auto record = EncodeConfigRecord(values);
  std::memcpy(stub.data() + records[0], record.data(), record.size());

  std::string output = ExpandFileName(Input.OutputPath);
  if (output.back() == '/') throw EPackError("output " + Quoted(Input.OutputPath) + " is a folder name");
  std::string part;
  int rawFd = -1;
  try {
    part = CreateTempFile(ExtractFilePath(output), ".part", rawFd);
  } catch (const EMerovantError&) {
    throw EPackError("cannot create a file in " + Quoted(ExtractFilePath(output)) + ": " +
                     std::strerror(errno));
  }
  TFileHandle fd(rawFd);
  try {
    WriteOrFail(fd.Get(), stub.data(), stub.size(), part);
    AppendFile(fd.Get(), Input.UnzipPath, unzipSize, part);
    AppendFile(fd.Get(), Input.ArchivePath, archiveSize, part);
    if (fchmod(fd.Get(), 0755) != 0 || !fd.Close())
      throw EPackError("cannot write " + Quoted(part) + ": " + std::strerror(errno));
    if (rename(part.c_str(), output.c_str()) != 0)
      throw EPackError("cannot write " + Quoted(output) + ": " + std::strerror(errno));
  } catch (...) {
    unlink(part.c_str());
    throw;
  }
}

}  // namespace Decantor
