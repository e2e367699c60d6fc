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

void AppendNumber(std::string& aOut, long double aValue) {
  AppendPdfNumber(aOut, aValue);
  aOut += ' ';
}

// BT, font, colour, position, the escaped string, ET.
// A word spacing other than 0 (justified text) is set for the string alone:
// text state outlives the text object, and later text must not inherit it.
void AddTextObject(TPageBuffer& aOut, const TPdfFont& aFont, int32_t aSize, const std::string& aColor,
                   const TTextPlacement& aAt, const std::string& aText, long double aWordSpacing) {
  aOut.push_back("BT");
  std::string* line = &aOut.OpenLine();
  *line += aFont.FontRef();
  *line += ' ';
  AppendInteger(*line, aSize);
  *line += " Tf";
  aOut.CloseLine();
  line = &aOut.OpenLine();
  *line += aColor;
  *line += "rg";
  aOut.CloseLine();
  AddTextPosition(aOut, aAt);
  if (aWordSpacing != 0) {
    line = &aOut.OpenLine();
    AppendNumber(*line, aWordSpacing);
    *line += "Tw";
    aOut.CloseLine();
  }
  line = &aOut.OpenLine();
  *line += '(';
  AppendEscaped(*line, aText, ebLineEnds);
  *line += ") Tj";
  aOut.CloseLine();
  if (aWordSpacing != 0) aOut.push_back("0 Tw");
  aOut.push_back("ET");
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
  if (!CheckDocumentState()) return;
  if (TUnicodeText* unicode = UnicodeText()) return unicode->TextOut(X, Y, Text, aWordSpacing);
  TPdfFont& font = PdfFont(FFont);
  const int32_t size = FFont.Size();
  const bool rotated = FFontAngle != 0;
  const TTextPlacement at{UnitToPoint(X), YToPoint(Y) - size * font.Ascent(), rotated ? std::cos(FFontAngle) : 1,
                          rotated ? std::sin(FFontAngle) : 0, rotated};
  const std::string color = ColorDef(FFont.Color());
  AddTextObject(FPdfStream, font, size, color, at, Text, aWordSpacing);
  if (FFont.Style().Contains(fsUnderline)) {
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
  if (!CheckDocumentState()) return 1;
  if (TUnicodeText* unicode = UnicodeText()) return unicode->Width(Text);
  const long double pixels = MeasuringFont().TextWidthThousandths(Text) * PixelsPerThousandth(FFont, FBitmapRes);
  return RoundToInt32(pixels * 1.02L * FContext.UnitPerPixel);
}

int32_t TPdfCanvas::TextHeight(const std::string& Text) {
  (void)Text;  // the cell height does not depend on the characters
  if (!CheckDocumentState()) return 1;
  return RoundToInt32(MeasuringFont().TextMetric().tmHeight * FContext.UnitPerPixel);
}

TSize TPdfCanvas::TextExtent(const std::string& Text) { return {TextWidth(Text), TextHeight(Text)}; }

void TPdfCanvas::TruncateText(std::string& aText, int32_t aMaxWidth) {
  if (aText.empty()) return;
  if (!CheckDocumentState()) {
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
