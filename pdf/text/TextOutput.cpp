// Single-line text on the canvas: TextOut and the measurements that text
// boxes and grid cells lay out with. Measurement takes the canvas font as it
// is (family, bold, italic, size) from the font services' cache, so a call
// costs a look-up and a sum over the characters.
//
// Widths are measured at the size the text is drawn at (Size points, that is
// Size * 96 / 72 pixels) from the widths a font resource declares, so that a
// width agrees with what a reader draws; heights are the font's whole-pixel
// cell at its pixel em (see platform/fonts/FontMetrics.h).

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <vellix/Canvas.h>
#include <vellix/Exception.h>
#include <vellix/Messages.h>

#include "canvas/ColorOperands.h"
#include "canvas/ContentLines.h"
#include "canvas/KeptLines.h"
#include "platform/fonts/FontMetrics.h"
#include "text/PdfFont.h"
#include "text/TextPlacement.h"
#include "text/unicode/UnicodeText.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

// Measuring pixels per thousandth of an em of the canvas font: its size in
// points at the measuring resolution, over 1000.
long double PixelsPerThousandth(const TFont& aFont, int32_t aBitmapRes) {
  return std::abs(aFont.Size()) * static_cast<long double>(aBitmapRes) / 72000;
}

// BT, font, colour, position, the escaped string, ET. aPutPosition(lines,
// cursor) writes the position line, in at most 6 * NumberRoom + 16 bytes.
// The first three lines come from aKept when the last text object had the
// same font, size and colour.
// A word spacing other than 0 (justified text) is set for the string alone:
// text state outlives the text object, and later text must not inherit it.
template <typename PutPosition>
void AddTextObject(TPageBuffer& aOut, Detail::TKeptLines<Detail::TTextStartKey>& aKept, const TPdfFont& aFont,
                   int32_t aSize, TColor aColor, const std::string& aText, long double aWordSpacing,
                   PutPosition aPutPosition) {
  using Detail::TContentLines;
  // The size, the Tw number, the position line, the escaped text and the
  // fixed parts; at least the room the kept lines are copied with.
  const size_t room = 8 * NumberRoom + Detail::ColorOperandsRoom + aFont.FontRef().size() + 2 * aText.size() + 64;
  static_assert(8 * NumberRoom + 64 >= Detail::TKeptLines<Detail::TTextStartKey>::Room);
  TContentLines lines(aOut, room);
  char* const start = lines.Reserve(room);
  const Detail::TTextStartKey key{&aFont, aSize, aColor};
  char* p = aKept.Replay(start, key);
  if (p == nullptr) {
    p = lines.PutLineEnd(TContentLines::Put(start, "BT"));
    p = TContentLines::Put(p, aFont.FontRef());
    *p++ = ' ';
    p = TContentLines::Put(PutInteger(p, aSize), " Tf");
    p = lines.PutLineEnd(p);
    p = TContentLines::Put(Detail::PutColorOperands(p, aColor), "rg");
    p = lines.PutLineEnd(p);
    aKept.Keep(key, start, p);
  }
  p = aPutPosition(lines, p);
  if (aWordSpacing != 0) p = lines.PutLineEnd(TContentLines::Put(lines.PutNumber(p, aWordSpacing), " Tw"));
  *p++ = '(';
  p = TContentLines::Put(PutEscaped(p, aText, ebLineEnds), ") Tj");
  p = lines.PutLineEnd(p);
  if (aWordSpacing != 0) p = lines.PutLineEnd(TContentLines::Put(p, "0 Tw"));
  p = lines.PutLineEnd(TContentLines::Put(p, "ET"));
  lines.Advance(p);
}

}  // namespace

const TFontMetrics& TPdfCanvas::MeasuringFont() {
  try {
    return FontMetricsOf(FFont);
  } catch (const Exception&) {
    // No font at all could be opened (not even a substitute).
    FContext.RaiseError(MSG_INTERNAL_ERROR, "GetTextExtent");
  }
}

void TPdfCanvas::TextOut(int32_t X, int32_t Y, const std::string& Text) { TextOutSpaced(X, Y, Text, 0); }

void TPdfCanvas::TextOutSpaced(int32_t X, int32_t Y, const std::string& Text, long double aWordSpacing) {
  if (!FContext.ReadyToDraw()) return;
  if (TUnicodeText* unicode = UnicodeText()) return unicode->TextOut(X, Y, Text, aWordSpacing);
  TPdfFont& font = PdfFont(FFont);
  const int32_t size = FFont.Size();
  const bool rotated = FFontAngle != 0;
  const bool underline = FFont.Style().Contains(fsUnderline);
  if (!rotated && !underline) {
    // The usual text: "x y Td" straight from the integers, x = X in points and
    // y = (PageHeight - Y) in points less the ascent at the size.
    const long double& scale = FContext.PointPerUnit;
    const double scaleAsDouble = FContext.PointPerUnitAsDouble;
    const int64_t fromTop = int64_t(FContext.PageHeight) - Y;
    const bool unitIsPoint = FContext.UnitIsPoint;
    AddTextObject(FPdfStream, FKept->TextStart, font, size, FFont.Color(), Text, aWordSpacing,
                  [&](Detail::TContentLines& aLines, char* aCursor) {
                    char* p = unitIsPoint ? PutWholeNumber(aCursor, X) : aLines.PutScaled(aCursor, X, scale, scaleAsDouble);
                    *p++ = ' ';
                    p = aLines.PutDifference(p, fromTop, scale, scaleAsDouble, size, font.Ascent(),
                                             font.AscentAsDouble());
                    return aLines.PutLineEnd(Detail::TContentLines::Put(p, " Td"));
                  });
    return;
  }
  const TTextPlacement at{UnitToPoint(X), YToPoint(Y) - size * font.Ascent(), rotated ? std::cos(FFontAngle) : 1,
                          rotated ? std::sin(FFontAngle) : 0, rotated};
  AddTextObject(FPdfStream, FKept->TextStart, font, size, FFont.Color(), Text, aWordSpacing,
                [&](Detail::TContentLines& aLines, char* aCursor) { return PutTextPosition(aLines, aCursor, at); });
  if (underline) {
    const std::string color = ColorDef(FFont.Color());
    long double width = TextWidthInPoints(Text);
    if (aWordSpacing != 0) width += aWordSpacing * static_cast<long double>(std::count(Text.begin(), Text.end(), ' '));
    AddUnderline(FPdfStream, size * font.UnderlinePosition(), size * font.UnderlineWidth(), color, at, width);
  }
}

long double TPdfCanvas::TextWidthInPoints(const std::string& Text) {
  if (TUnicodeText* unicode = UnicodeText()) return unicode->WidthInPoints(Text);
  return MeasuringFont().TextWidthThousandths(Text) * PixelsPerThousandth(FFont, FBitmapRes) * FPointPerPixel;
}

int32_t TPdfCanvas::TextWidth(const std::string& Text) {
  if (!FContext.ReadyToDraw()) return 1;
  if (TUnicodeText* unicode = UnicodeText()) return unicode->Width(Text);
  const long double pixels = MeasuringFont().TextWidthThousandths(Text) * PixelsPerThousandth(FFont, FBitmapRes);
  return RoundToInt32(pixels * 1.02L * FContext.UnitPerPixel);
}

int32_t TPdfCanvas::TextHeight(const std::string& Text) {
  (void)Text;  // the cell height does not depend on the characters
  if (!FContext.ReadyToDraw()) return 1;
  return RoundToInt32(MeasuringFont().TextMetric().tmHeight * FContext.UnitPerPixel);
}

TSize TPdfCanvas::TextExtent(const std::string& Text) { return {TextWidth(Text), TextHeight(Text)}; }

void TPdfCanvas::TruncateText(std::string& aText, int32_t aMaxWidth) {
  if (aText.empty()) return;
  if (!FContext.ReadyToDraw()) {
    // Every width measures 1 in an aborted document.
    if (aMaxWidth < 1) aText.clear();
    return;
  }
  if (TUnicodeText* unicode = UnicodeText()) return unicode->Truncate(aText, aMaxWidth);
  // The same result as removing the last character while TextWidth exceeds
  // aMaxWidth, without measuring the whole text again for each character.
  const TFontMetrics& metrics = MeasuringFont();
  const long double factor = PixelsPerThousandth(FFont, FBitmapRes) * 1.02L * FContext.UnitPerPixel;
  int64_t width = metrics.TextWidthThousandths(aText);
  size_t length = aText.size();
  while (length > 0 && std::rint(width * factor) > aMaxWidth) {
    --length;
    width -= metrics.CharWidthThousandths(uint8_t(aText[length]));
  }
  aText.resize(length);
}

}  // namespace Vellix
