#pragma once
// Where a line of text is drawn, and the underline drawn with it; shared by
// the code page and the Unicode text output, so both place text alike.

#include <cstdint>
#include <string>

namespace Vellix {

class TPageBuffer;
namespace Detail {
class TContentLines;
}

// A line's baseline origin, in points, and which way it runs.
struct TTextPlacement {
  long double X, Y;
  long double Cosine, Sine;
  bool Rotated;
};

// Appends the text position line: "x y Td", or the whole text matrix
// "cos sin -sin cos x y Tm" for turned text.
void AddTextPosition(TPageBuffer& aOut, const TTextPlacement& aAt);
// The same line written at aCursor, which has 6 * NumberRoom + 16 bytes of
// room; returns the cursor after it.
char* PutTextPosition(Detail::TContentLines& aLines, char* aCursor, const TTextPlacement& aAt);

// A stroked line aWidth points long under the text at aPosition points from
// the baseline (negative below it), aThickness points thick, turned with it.
void AddUnderline(TPageBuffer& aOut, long double aPosition, long double aThickness, const std::string& aColor,
                  const TTextPlacement& aAt, long double aWidth);

}  // namespace Vellix
