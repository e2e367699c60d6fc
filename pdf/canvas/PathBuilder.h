#pragma once
// Internal to the shape writers (Shapes.cpp, Curves.cpp): builds content lines
// from caller coordinates without going through streams or the locale.
//
// Coordinates arrive as 64-bit integers because the shapes derive points from
// 32-bit arguments (centres, radii, corner offsets, points one unit beyond a
// rounded radius) that may leave the 32-bit range near its limits; the
// conversion itself is the canvas's: x * points-per-unit and
// (page height - y) * points-per-unit, in extended precision.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include <vellix/Canvas.h>

#include "canvas/ContentLines.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix::Detail {

// Rounds to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4), in the
// default rounding mode, which the library never changes. Callers pass
// finite values well inside the 64-bit range. On x86-64 it is the one x87
// store that llrint comes down to, without the library call, which the
// compiler keeps while llrint may set errno.
inline int64_t RoundEven(long double aValue) {
#if defined(__x86_64__) && defined(__GNUC__)
  int64_t result;
  __asm__("fistpll %0" : "=m"(result) : "t"(aValue) : "st");
  return result;
#else
  return static_cast<int64_t>(std::llrint(aValue));
#endif
}

// A 64-bit point for intermediate results that may fall outside TPoint's range.
struct TPoint64 {
  int64_t X = 0;
  int64_t Y = 0;
};

// Saturates a 64-bit coordinate into the 32-bit range of TPoint.
inline int32_t ClampToInt32(int64_t aValue) {
  if (aValue > INT32_MAX) return INT32_MAX;
  if (aValue < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(aValue);
}

class TPathBuilder {
public:
  explicit TPathBuilder(const TPdfCanvas& aCanvas)
      : FPointPerUnit(aCanvas.Context().PointPerUnit),
        FPointPerUnitAsDouble(aCanvas.Context().PointPerUnitAsDouble),
        FPageHeight(aCanvas.Context().PageHeight),
        FUnitIsPoint(aCanvas.Context().UnitIsPoint) {}

  // A length (or an x coordinate) in points.
  void Length(std::string& aOut, int64_t aValue) const {
    AppendScaledNumber(aOut, aValue, FPointPerUnit, FPointPerUnitAsDouble);
  }
  void X(std::string& aOut, int64_t aX) const { Length(aOut, aX); }
  void Y(std::string& aOut, int64_t aY) const { Length(aOut, FPageHeight - aY); }
  // "x y" for one point.
  void XY(std::string& aOut, int64_t aX, int64_t aY) const {
    X(aOut, aX);
    aOut += ' ';
    Y(aOut, aY);
  }
  // The same at a cursor of aLines with NumberRoom (a length) or 2 * NumberRoom + 1
  // (a point) bytes of room.
  char* Length(TContentLines& aLines, char* aCursor, int64_t aValue) const {
    if (FUnitIsPoint) return PutWholeNumber(aCursor, aValue);
    return aLines.PutScaled(aCursor, aValue, FPointPerUnit, FPointPerUnitAsDouble);
  }
  char* XY(TContentLines& aLines, char* aCursor, int64_t aX, int64_t aY) const {
    char* p = Length(aLines, aCursor, aX);
    *p++ = ' ';
    return Length(aLines, p, FPageHeight - aY);
  }
  // Appends the line "x y" + aSuffix (" m", " l", " l S"...) to aOut.
  // Always inline: a shape writes a few of these, an arc thousands in a
  // loop, and the call costs as much as the line's own work.
  [[gnu::always_inline]] void AddPointLine(TContentLines& aOut, int64_t aX, int64_t aY,
                                           std::string_view aSuffix) const {
    char* p = aOut.Reserve(2 * NumberRoom + aSuffix.size() + 3);
    p = XY(aOut, p, aX, aY);
    aOut.Advance(aOut.PutLineEnd(TContentLines::Put(p, aSuffix)));
  }
  void AddPointLine(TPageBuffer& aOut, int64_t aX, int64_t aY, std::string_view aSuffix) const {
    TContentLines lines(aOut, 128);
    AddPointLine(lines, aX, aY, aSuffix);
  }

private:
  // A reference: copying an extended value costs two slow x87 moves.
  const long double& FPointPerUnit;
  double FPointPerUnitAsDouble;
  int64_t FPageHeight;
  bool FUnitIsPoint;
};

}  // namespace Vellix::Detail
