#include "platform/graphics/ContentHash.h"

#include <cstdint>
#include <cstring>

namespace Vellix {

std::string ContentHash(const void* aData, size_t aSize) {
  const auto* data = static_cast<const uint8_t*>(aData);
  uint64_t a = 14695981039346656037ull ^ aSize, b = 0x9E3779B97F4A7C15ull;
  const auto mix = [&](uint64_t aWord) {
    a = (a ^ aWord) * 0x100000001B3ull;
    a ^= a >> 32;
    b = (b + aWord) * 0xFF51AFD7ED558CCDull;
    b = (b << 31) | (b >> 33);
  };
  size_t i = 0;
  for (; i + 8 <= aSize; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    mix(word);
  }
  uint64_t tail = 0;
  if (aSize > i) std::memcpy(&tail, data + i, aSize - i);
  mix(tail ^ (uint64_t(aSize - i) << 56));
  std::string hash(16, '\0');
  std::memcpy(hash.data(), &a, 8);
  std::memcpy(hash.data() + 8, &b, 8);
  return hash;
}

}  // namespace Vellix
