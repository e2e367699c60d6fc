#pragma once
// TGlyphWriter: the glyphs of one line of Unicode text as content lines:
// TJ arrays of hex glyph ids with the moves that put each glyph where
// shaping placed it, font changes, rises for marks, and the actual text of
// clusters that readers cannot read from their glyphs.

#include <cstdint>
#include <string>
#include <string_view>

namespace Vellix {

class TPageBuffer;

class TGlyphWriter {
public:
  // Writes to aOut for text of aSize points.
  TGlyphWriter(TPageBuffer& aOut, int32_t aSize) : FOut(aOut), FSize(aSize) {}

  // "/U<n> size Tf".
  void SetFont(const std::string& aResourceName);
  // Shows aGlyph with its origin at aX thousandths of an em from the line's
  // start and raised by aRise; aWidth is its declared width, by which the
  // reader moves on after it.
  void Glyph(uint32_t aGlyph, double aX, double aWidth, double aRise);
  // Marks what follows, up to EndActualText, as standing for aText.
  void BeginActualText(std::u16string_view aText);
  void EndActualText();
  // Writes what is still held and ends the rise: the line is complete.
  void Finish();

private:
  void Flush();

  TPageBuffer& FOut;
  int32_t FSize;
  std::string FArray;
  bool FInString = false;
  double FPen = 0;  // where the reader's pen is, thousandths of an em
  double FRise = 0;
};

}  // namespace Vellix
