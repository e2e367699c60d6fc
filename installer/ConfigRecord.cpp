#include "ConfigRecord.h"

namespace Decantor {

// The record's storage type; a plain byte block so its image in the file is the record itself.
struct TRecordImage {
  uint8_t Bytes[kConfigRecordSize];
};

namespace {

constexpr TRecordImage UnpackagedRecord() {
  TRecordImage image{};
  image.Bytes[0] = kConfigLengthByte;
  // The marker is spelled out here only, so it occurs once in the program image.
  const char marker[] = {'#', 'T', 'N', 'A', 'V', 'O', 'R', 'E', 'M', '#'};
  for (std::size_t i = 0; i < kConfigMarkerLength; ++i)
    image.Bytes[kConfigMarkerOffset + i] = static_cast<uint8_t>(marker[i]);
  for (std::size_t i = kConfigTitle; i < kConfigRecordSize; ++i) image.Bytes[i] = ' ';
  return image;
}

}  // namespace

}  // namespace Decantor

// The record itself: constant-initialised, writable (so it lands in .data, never in read-only
// data that could be merged), kept by the linker even if unreferenced, and only ever read
// through a volatile access so the compiler cannot replace a read by the initial value.
extern "C" {
__attribute__((used)) constinit volatile Decantor::TRecordImage DecantorConfigRecord =
    Decantor::UnpackagedRecord();
}

namespace Decantor {

std::array<uint8_t, kConfigRecordSize> ConfigRecordBytes() {
  std::array<uint8_t, kConfigRecordSize> bytes{};
  for (std::size_t i = 0; i < kConfigRecordSize; ++i) bytes[i] = DecantorConfigRecord.Bytes[i];
  return bytes;
}

TConfigValues ReadConfigRecord() { return DecodeConfigRecord(ConfigRecordBytes().data()); }

}  // namespace Decantor
