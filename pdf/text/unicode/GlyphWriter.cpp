#include "text/unicode/GlyphWriter.h"

#include <cmath>

#include <vellix/PageBuffer.h>

#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

void TGlyphWriter::SetFont(const std::string& aResourceName) {
  Flush();
  std::string line = aResourceName + ' ';
  AppendInteger(line, FSize);
  line += " Tf";
  FOut.push_back(line);
}

void TGlyphWriter::Glyph(uint32_t aGlyph, double aX, double aWidth, double aRise) {
  if (aRise != FRise) {
    Flush();
    std::string line;
    AppendPdfNumber(line, aRise * FSize / 1000.0L);
    FOut.push_back(line + " Ts");
    FRise = aRise;
  }
  // A number in the array moves the pen back by that many thousandths.
  // Moves below a thousandth of an em are not written, and those written
  // are whole; the pen is kept where the written ones put it, so that the
  // error never passes that thousandth along a line.
  const double move = std::round(FPen - aX);
  if (std::abs(FPen - aX) >= 1) {
    if (FInString) FArray += '>';
    FInString = false;
    AppendPdfNumber(FArray, move);
    FPen -= move;
  }
  if (!FInString) FArray += '<';
  FInString = true;
  AppendHexUnit(FArray, aGlyph);
  FPen += aWidth;
}

void TGlyphWriter::BeginActualText(std::u16string_view aText) {
  Flush();
  std::string line = "/Span<</ActualText<FEFF";
  for (char16_t unit : aText) AppendHexUnit(line, unit);
  FOut.push_back(line + ">>>BDC");
}

void TGlyphWriter::EndActualText() {
  Flush();
  FOut.push_back("EMC");
}

void TGlyphWriter::Finish() {
  Flush();
  if (FRise != 0) FOut.push_back("0 Ts");
}

void TGlyphWriter::Flush() {
  if (FArray.empty()) return;
  if (FInString) FArray += '>';
  FOut.push_back("[" + FArray + "]TJ");
  FArray.clear();
  FInString = false;
}

}  // namespace Vellix
