#include "encode/Ascii85.h"

#include <cstring>

namespace Vellix {

namespace {

// One group of four bytes, first byte most significant.
void AppendGroup(std::string& aOut, const uint8_t* aBytes) {
  uint32_t value = uint32_t(aBytes[0]) << 24 | uint32_t(aBytes[1]) << 16 | uint32_t(aBytes[2]) << 8 | aBytes[3];
  if (value == 0) {
    aOut += 'z';
    return;
  }
  char group[5];
  for (int i = 4; i >= 0; --i) {
    group[i] = char(value % 85 + 33);
    value /= 85;
  }
  aOut.append(group, 5);
}

}  // namespace

void AppendASCII85(std::string& aOut, const void* aData, size_t aCount) {
  const uint8_t* bytes = static_cast<const uint8_t*>(aData);
  const size_t whole = aCount / 4;
  aOut.reserve(aOut.size() + 5 * (whole + 1) + 2);
  for (size_t g = 0; g < whole; ++g) AppendGroup(aOut, bytes + 4 * g);
  const size_t rest = aCount % 4;
  if (rest != 0) {
    uint8_t last[4] = {0, 0, 0, 0};
    std::memcpy(last, bytes + 4 * whole, rest);
    AppendGroup(aOut, last);
  }
  aOut += "~>";
}

void EncodeASCII85(TMemoryStream& aSource, TMemoryStream& aDest) {
  std::string encoded;
  AppendASCII85(encoded, aSource.Memory(), size_t(aSource.Size()));
  aSource.SetPosition(aSource.Size());
  aDest.Clear();
  aDest.WriteBuffer(encoded.data(), int64_t(encoded.size()));
}

}  // namespace Vellix
