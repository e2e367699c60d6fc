#include "canvas/PaintLines.h"

#include <cstring>

namespace Vellix::Detail {

void TPaintLines::Keep(const TKey& aKey, const char* aBegin, const char* aEnd) {
  const size_t size = size_t(aEnd - aBegin);
  FKept = false;
  if (size > Room) return;
  uint8_t count = 0;
  for (size_t i = 1; i < size; ++i) {
    if (aBegin[i] != '\n') continue;
    if (count == MaxLines) return;
    FLineEnds[count++] = uint8_t(i + 1);
  }
  std::memcpy(FBytes, aBegin, size);
  FSize = uint8_t(size);
  FLineCount = count;
  FKey = aKey;
  FKept = true;
}

}  // namespace Vellix::Detail
