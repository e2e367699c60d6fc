#include "ConfigLayout.h"

namespace Decantor {

std::string TrimConfigText(const std::string& Text) {
  std::size_t first = 0;
  std::size_t last = Text.size();
  while (first < last && static_cast<uint8_t>(Text[first]) <= 32) ++first;
  while (last > first && static_cast<uint8_t>(Text[last - 1]) <= 32) --last;
  return Text.substr(first, last - first);
}

int32_t ReadLE32(const uint8_t* Data) {
  uint32_t value = static_cast<uint32_t>(Data[0]) | static_cast<uint32_t>(Data[1]) << 8 |
                   static_cast<uint32_t>(Data[2]) << 16 | static_cast<uint32_t>(Data[3]) << 24;
  return static_cast<int32_t>(value);
}

void WriteLE32(uint8_t* Data, int32_t Value) {
  uint32_t value = static_cast<uint32_t>(Value);
  for (int i = 0; i < 4; ++i) Data[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string ConfigField(const uint8_t* Record, std::size_t Offset) {
  return std::string(reinterpret_cast<const char*>(Record + Offset), kConfigFieldLength);
}

TConfigValues DecodeConfigRecord(const uint8_t* Record) {
  TConfigValues values;
  values.DllOffset = ReadLE32(Record + kConfigDllOffset);
  values.ZipOffset = ReadLE32(Record + kConfigZipOffset);
  values.Title = TrimConfigText(ConfigField(Record, kConfigTitle));
  values.DestDir = TrimConfigText(ConfigField(Record, kConfigDestDir));
  values.RunCommand = TrimConfigText(ConfigField(Record, kConfigRunCommand));
  values.RegisterFile = TrimConfigText(ConfigField(Record, kConfigRegisterFile));
  return values;
}

bool LayoutIsValid(int64_t DllOffset, int64_t ZipOffset, int64_t FileSize) {
  return 0 < DllOffset && DllOffset < ZipOffset && ZipOffset < FileSize;
}

}  // namespace Decantor
