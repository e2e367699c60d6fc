// The layout of an installer file and of its configuration record.
//
// An installer file is three pieces end to end: the stub program (bytes 0 to DllOffset - 1), the
// unzip component (DllOffset to ZipOffset - 1) and a zip archive (ZipOffset to the end), with no
// padding between them. The stub carries, in its initialised data, the 256-byte configuration
// record: byte 0 is the length 255, bytes 1-10 the marker, then the two offsets as 32-bit
// little-endian integers and four 49-byte text fields padded with spaces; bytes 215-255 are
// unused spaces. Text is 8-bit ANSI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Decantor {

inline constexpr std::size_t kConfigRecordSize = 256;
inline constexpr uint8_t kConfigLengthByte = 255;
inline constexpr std::size_t kConfigMarkerOffset = 1;
inline constexpr std::size_t kConfigMarkerLength = 10;
inline constexpr std::size_t kConfigDllOffset = 11;
inline constexpr std::size_t kConfigZipOffset = 15;
inline constexpr std::size_t kConfigTitle = 19;
inline constexpr std::size_t kConfigDestDir = 68;
inline constexpr std::size_t kConfigRunCommand = 117;
inline constexpr std::size_t kConfigRegisterFile = 166;
inline constexpr std::size_t kConfigUnused = 215;
// Width of each text field, and so the longest value.
inline constexpr std::size_t kConfigFieldLength = 49;
// A destination starting with this byte lies below the Program Files directory.
inline constexpr uint8_t kProgramFilesByte = 0xA7;

// The values of a record. The texts are the fields with characters of code 32 or lower removed
// at both ends.
struct TConfigValues {
  int32_t DllOffset = 0;
  int32_t ZipOffset = 0;
  std::string Title;
  std::string DestDir;       // may begin with kProgramFilesByte
  std::string RunCommand;
  std::string RegisterFile;
};

// Text with characters of code 32 or lower removed at both ends.
std::string TrimConfigText(const std::string& Text);

// The 32-bit little-endian integer at Data.
int32_t ReadLE32(const uint8_t* Data);
// Stores Value at Data as a 32-bit little-endian integer.
void WriteLE32(uint8_t* Data, int32_t Value);

// The 49 bytes of the field at Offset of Record (256 bytes), untrimmed.
std::string ConfigField(const uint8_t* Record, std::size_t Offset);

// The offsets and trimmed fields of Record (256 bytes). Nothing is checked.
TConfigValues DecodeConfigRecord(const uint8_t* Record);

// True when the offsets describe three non-empty pieces of a file of FileSize bytes:
// 0 < DllOffset < ZipOffset < FileSize.
bool LayoutIsValid(int64_t DllOffset, int64_t ZipOffset, int64_t FileSize);

}  // namespace Decantor
