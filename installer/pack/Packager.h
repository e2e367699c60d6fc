// Building installer files: a copy of the stub with its configuration record filled in, followed
// by the unzip component, the window module when one is given, and the zip archive. The record's
// two offsets are those of the unzip component and of the archive, as ever: the window module
// lies between them, and the stub finds it where the unzip component's ELF file ends.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ConfigLayout.h"

namespace Decantor {

// A packaging failure; the message says what is wrong with which input.
class EPackError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// What to package. The four texts are stored as given (8-bit); each may be at most 49
// characters and may neither begin nor end with a character of code 32 or lower. DestDir may
// begin with the byte 0xA7 (see ExpandProgramFilesToken).
struct TPackInput {
  std::string StubPath;     // the stub program, holding exactly one configuration record
  std::string UnzipPath;    // the unzip component, a shared library
  std::string WindowPath;   // the window module, a shared library; empty: console only
  std::string ArchivePath;  // a zip archive
  std::string OutputPath;   // the installer file to write (replaced when it exists)
  std::string Title;
  std::string DestDir;
  std::string RunCommand;
  std::string RegisterFile;
};

// The text that stands for the Program Files directory at the start of a destination.
inline constexpr const char* kProgramFilesToken = "{ProgramFiles}";

// DestDir with a leading "{ProgramFiles}" replaced by the byte 0xA7; otherwise unchanged.
std::string ExpandProgramFilesToken(const std::string& DestDir);

// Positions in Data of every byte 255 followed by the marker "#TNAVOREM#".
std::vector<std::size_t> FindConfigRecords(const std::string& Data);

// The 256 bytes of a record holding Values: length byte, marker, offsets, the four texts padded
// with spaces to 49 bytes, and spaces in the unused tail. Texts are checked as for TPackInput.
std::array<uint8_t, kConfigRecordSize> EncodeConfigRecord(const TConfigValues& Values);

// Builds the installer file Input.OutputPath. Every input is checked before anything is
// written: one record in the stub, not yet packaged; as component a non-empty shared library
// for the stub's machine that exports "dunzip"; a non-empty zip archive; valid texts; offsets that satisfy LayoutIsValid and fit 32 bits. The
// file is written under a temporary name in the output's directory and renamed when complete,
// so a failure leaves no output file. Failure: EPackError.
void PackInstaller(const TPackInput& Input);

// Whether aPath is a zip archive without entries (its end record alone).
// Such an archive packs: its installer installs nothing, and says so.
bool IsEmptyZipArchive(const std::string& aPath);

}  // namespace Decantor
