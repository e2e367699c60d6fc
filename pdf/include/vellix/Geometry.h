#pragma once
// Integer points, rectangles and sizes in the caller's coordinates.

#include <vellix/Export.h>
#include <cstdint>

namespace Vellix {

struct VELLIX_API TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct VELLIX_API TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct VELLIX_API TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

inline TPoint Point(int32_t aX, int32_t aY) { return {aX, aY}; }
inline TRect Rect(int32_t aLeft, int32_t aTop, int32_t aRight, int32_t aBottom) {
  return {aLeft, aTop, aRight, aBottom};
}

}  // namespace Vellix
