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
#include "ElfImage.h"
#include "FileHandle.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

constexpr char kMarker[] = "#TNAVOREM#";
constexpr uint16_t kElfSharedObject = 3;  // ET_DYN
constexpr const char* kUnzipExport = "dunzip";
constexpr const char* kWindowExport = "decantor_window_face";

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
    const ssize_t n = ReadSome(fd.Get(), buf, sizeof buf);
    if (n < 0) throw EPackError(aWhat + " " + Quoted(aPath) + ": " + std::strerror(errno));
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  return data;
}

// A zip archive without entries is its end record alone (22 bytes and a
// comment of the length the record gives), which minizip refuses to open.
bool IsEmptyZipFile(const std::string& aPath) {
  const int64_t size = RegularFileSize(aPath, "archive");
  if (size < 22 || size > 22 + 65535) return false;
  const std::string data = ReadWhole(aPath, "archive");
  const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<uint8_t>(data[i])); };
  const auto le16 = [&](std::size_t i) { return byte(i) | byte(i + 1) << 8; };
  const auto le32 = [&](std::size_t i) { return le16(i) | le16(i + 2) << 16; };
  return data.compare(0, 4, "PK\x05\x06") == 0 && le16(4) == 0 && le16(6) == 0 && le16(8) == 0 &&
         le16(10) == 0 && le32(12) == 0 && le32(16) == 0 && 22 + le16(20) == data.size();
}

bool IsZipArchive(const std::string& aPath) {
  if (IsEmptyZipFile(aPath)) return true;
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
    const ssize_t n = ReadSome(src.Get(), buf, sizeof buf);
    if (n < 0) throw EPackError("cannot read " + Quoted(aPath) + ": " + std::strerror(errno));
    if (n == 0) break;
    WriteOrFail(aFd, buf, static_cast<std::size_t>(n), aTarget);
    copied += n;
  }
  if (copied != aSize) throw EPackError(Quoted(aPath) + " changed while it was being packaged");
}

}  // namespace

bool IsEmptyZipArchive(const std::string& aPath) { return IsEmptyZipFile(aPath); }

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

namespace {

// The stub, read whole, with the place of its one unused configuration record.
struct TStub {
  std::string Bytes;
  std::size_t RecordAt = 0;
  TElfInfo Elf;
};

TStub ReadStub(const std::string& aPath) {
  RegularFileSize(aPath, "stub");
  TStub stub;
  stub.Bytes = ReadWhole(aPath, "stub");
  stub.Elf = ReadElfInfo(aPath);
  if (!stub.Elf.IsElf) throw EPackError("stub " + Quoted(aPath) + " is not a program");
  std::vector<std::size_t> records = FindConfigRecords(stub.Bytes);
  if (records.empty())
    throw EPackError("stub " + Quoted(aPath) + " holds no configuration record (marker #TNAVOREM#)");
  if (records.size() > 1)
    throw EPackError("stub " + Quoted(aPath) + " holds " + std::to_string(records.size()) +
                     " configuration records; one is needed");
  stub.RecordAt = records[0];
  const uint8_t* found = reinterpret_cast<const uint8_t*>(stub.Bytes.data()) + stub.RecordAt;
  if (ReadLE32(found + kConfigDllOffset) != 0 || ReadLE32(found + kConfigZipOffset) != 0)
    throw EPackError("stub " + Quoted(aPath) + " is already a packaged installer");
  return stub;
}

struct TPieceSizes {
  int64_t Unzip = 0;
  int64_t Window = 0;
  int64_t Archive = 0;
};

// The window module must be a shared library for the stub's machine that
// exports its entry point; the unzip component must end where its ELF file
// ends, since that is where the stub looks for the module.
void CheckWindowModule(const TPackInput& Input, const TElfInfo& aStubElf, TPieceSizes& aSizes) {
  if (Input.WindowPath.empty()) return;
  aSizes.Window = RegularFileSize(Input.WindowPath, "window module");
  const TElfInfo elf = ReadElfInfo(Input.WindowPath);
  if (aSizes.Window == 0 || !elf.IsElf || elf.Type != kElfSharedObject)
    throw EPackError("window module " + Quoted(Input.WindowPath) + " is not a shared library");
  if (elf.Machine != aStubElf.Machine)
    throw EPackError("window module " + Quoted(Input.WindowPath) + " is built for another machine than the stub");
  if (!ElfExportsFunction(Input.WindowPath, kWindowExport))
    throw EPackError("window module " + Quoted(Input.WindowPath) + " does not export " + kWindowExport);
  const std::string unzip = ReadWhole(Input.UnzipPath, "unzip component");
  if (ElfFileEnd(reinterpret_cast<const uint8_t*>(unzip.data()), unzip.size()) != unzip.size())
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) +
                     " has bytes past its ELF file, where the window module would be looked for");
}

// The unzip component must be a shared library for the stub's machine that
// exports the entry point; the archive a zip archive. A likely mix-up of the
// two is named in the message.
TPieceSizes CheckPieces(const TPackInput& Input, const TElfInfo& aStubElf) {
  TPieceSizes sizes;
  sizes.Unzip = RegularFileSize(Input.UnzipPath, "unzip component");
  sizes.Archive = RegularFileSize(Input.ArchivePath, "archive");
  const bool unzipIsZip = sizes.Unzip > 0 && IsZipArchive(Input.UnzipPath);
  const bool archiveIsElf = sizes.Archive > 0 && ReadElfInfo(Input.ArchivePath).IsElf;
  const std::string swapped = unzipIsZip && archiveIsElf
                                  ? " (the unzip component must come before the archive: are they "
                                    "swapped?)"
                                  : "";
  if (sizes.Unzip == 0) throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " is empty");
  const TElfInfo unzipElf = ReadElfInfo(Input.UnzipPath);
  if (!unzipElf.IsElf || unzipElf.Type != kElfSharedObject)
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " is not a shared library" + swapped);
  if (unzipElf.Machine != aStubElf.Machine)
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " is built for another machine than the stub");
  if (!ElfExportsFunction(Input.UnzipPath, kUnzipExport))
    throw EPackError("unzip component " + Quoted(Input.UnzipPath) + " does not export " + kUnzipExport);
  if (sizes.Archive == 0) throw EPackError("archive " + Quoted(Input.ArchivePath) + " is empty");
  if (!IsZipArchive(Input.ArchivePath))
    throw EPackError("archive " + Quoted(Input.ArchivePath) + " is not a zip archive" + swapped);
  CheckWindowModule(Input, aStubElf, sizes);
  return sizes;
}

// Fills the stub's record with the texts and the offsets of the two pieces
// that will follow it.
void PlaceRecord(TStub& aStub, TConfigValues aValues, const TPieceSizes& aSizes) {
  const int64_t dllOffset = static_cast<int64_t>(aStub.Bytes.size());
  const int64_t zipOffset = dllOffset + aSizes.Unzip + aSizes.Window;
  const int64_t fileSize = zipOffset + aSizes.Archive;
  if (fileSize > std::numeric_limits<int32_t>::max())
    throw EPackError("the installer would be " + std::to_string(fileSize) +
                     " bytes; offsets are 32-bit, so at most 2147483647 bytes fit");
  if (!LayoutIsValid(dllOffset, zipOffset, fileSize))
    throw EPackError("the pieces do not give 0 < DllOffset < ZipOffset < file size");
  aValues.DllOffset = static_cast<int32_t>(dllOffset);
  aValues.ZipOffset = static_cast<int32_t>(zipOffset);
  const auto record = EncodeConfigRecord(aValues);
  std::memcpy(aStub.Bytes.data() + aStub.RecordAt, record.data(), record.size());
}

// Writes stub, component and archive to a temporary file beside the output
// and renames it into place, so a failure never leaves half an installer.
void WriteInstaller(const TPackInput& Input, const TStub& aStub, const TPieceSizes& aSizes) {
  const std::string output = ExpandFileName(Input.OutputPath);
  if (output.back() == '/') throw EPackError("output " + Quoted(Input.OutputPath) + " is a folder name");
  std::string part;
  int rawFd = -1;
  try {
    part = CreateTempFile(ExtractFilePath(output), ".part", rawFd);
  } catch (const EMerovantError&) {
    throw EPackError("cannot create a file in " + Quoted(ExtractFilePath(output)) + ": " + std::strerror(errno));
  }
  TFileHandle fd(rawFd);
  try {
    WriteOrFail(fd.Get(), aStub.Bytes.data(), aStub.Bytes.size(), part);
    AppendFile(fd.Get(), Input.UnzipPath, aSizes.Unzip, part);
    if (aSizes.Window > 0) AppendFile(fd.Get(), Input.WindowPath, aSizes.Window, part);
    AppendFile(fd.Get(), Input.ArchivePath, aSizes.Archive, part);
    if (fchmod(fd.Get(), 0755) != 0 || !fd.Close())
      throw EPackError("cannot write " + Quoted(part) + ": " + std::strerror(errno));
    if (rename(part.c_str(), output.c_str()) != 0)
      throw EPackError("cannot write " + Quoted(output) + ": " + std::strerror(errno));
  } catch (...) {
    unlink(part.c_str());
    throw;
  }
}

}  // namespace

void PackInstaller(const TPackInput& Input) {
  TConfigValues values;
  values.Title = Input.Title;
  values.DestDir = Input.DestDir;
  values.RunCommand = Input.RunCommand;
  values.RegisterFile = Input.RegisterFile;
  EncodeConfigRecord(values);  // checks the texts before any file is touched

  TStub stub = ReadStub(Input.StubPath);
  const TPieceSizes sizes = CheckPieces(Input, stub.Elf);
  PlaceRecord(stub, values, sizes);
  WriteInstaller(Input, stub, sizes);
}

}  // namespace Decantor
