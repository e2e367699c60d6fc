// TPdfCanvas::DrawText: a block of text laid out in a box, line by line.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <vellix/Canvas.h>

#include "platform/fonts/FontMetrics.h"
#include "text/LineBreaker.h"
#include "text/unicode/UnicodeText.h"
#include "writer/DocumentContext.h"

namespace Vellix {

namespace {

int32_t Clamp32(int64_t aValue) { return int32_t(std::clamp<int64_t>(aValue, INT32_MIN, INT32_MAX)); }

// aBase + aSpan / 2 rounded to the nearest integer, ties to even (the parity
// that decides a tie is that of the whole sum, not of the half alone).
int64_t RoundedMidpoint(int64_t aBase, int64_t aSpan) { return int64_t(std::rint(aBase + aSpan / 2.0L)); }

// Measures prefixes the way TextWidth does, but incrementally. TextWidth
// sums the characters' widths in thousandths of an em (whole numbers, so the
// sum of a prefix plus one character is exactly the sum of the longer
// prefix), scales the sum to measuring pixels, adds its 2 % allowance and
// rounds; the same operations in the same order give the same width here. A
// line so costs one look-up per character instead of one measurement per
// prefix.
class TCharWidthMeter : public TPrefixMeter {
public:
  TCharWidthMeter(const TFontMetrics& aMetrics, long double aPixelsPerThousandth, long double aUnitPerPixel)
      : FMetrics(aMetrics), FPixelsPerThousandth(aPixelsPerThousandth), FUnitPerPixel(aUnitPerPixel) {}
  size_t FirstOverflow(std::string_view aLine, int32_t aMaxWidth) override {
    // The rounded width exceeds aMaxWidth exactly when the unrounded one
    // exceeds aMaxWidth + 0.5, or equals it and the tie rounds up; only that
    // tie needs the rounding itself, which is the costly part of a look-up.
    const long double limit = aMaxWidth + 0.5L;
    int64_t thousandths = 0;
    for (size_t i = 0; i < aLine.size(); ++i) {
      thousandths += FMetrics.CharWidthThousandths(uint8_t(aLine[i]));
      const long double pixels = thousandths * FPixelsPerThousandth;
      const long double width = pixels * 1.02L * FUnitPerPixel;
      if (width > limit || (width == limit && std::rint(width) > aMaxWidth)) return i + 1;
    }
    return 0;
  }

private:
  const TFontMetrics& FMetrics;
  long double FPixelsPerThousandth;
  long double FUnitPerPixel;
};

// An aborted document measures every text as 1 unit wide.
class TAbortedMeter : public TPrefixMeter {
public:
  size_t FirstOverflow(std::string_view aLine, int32_t aMaxWidth) override {
    return aLine.empty() || 1 <= aMaxWidth ? 0 : 1;
  }
};

}  // namespace

TBrokenText TPdfCanvas::BreakInBox(int32_t aWidth, int64_t aMaxLines, const std::string& Text) {
  if (Context().Aborted) {
    TAbortedMeter meter;
    return BreakText(Text, aWidth, aMaxLines, meter);
  }
  if (TUnicodeText* unicode = UnicodeText()) return unicode->Break(Text, aWidth, aMaxLines);
  // Measuring pixels per thousandth of an em of the canvas font, as
  // TextWidth takes them.
  const long double pixelsPerThousandth = std::abs(Font().Size()) * static_cast<long double>(BitmapRes()) / 72000;
  TCharWidthMeter meter(MeasuringFont(), pixelsPerThousandth, Context().UnitPerPixel);
  return BreakText(Text, aWidth, aMaxLines, meter);
}

TTextMeasure TPdfCanvas::MeasureText(int32_t aWidth, const std::string& Text) {
  if (!CheckDocumentState()) return {1, 1};
  const int64_t lines = int64_t(BreakInBox(aWidth, 0, Text).Lines.size());
  return {Clamp32(lines), Clamp32(lines * TextHeight("A"))};
}

int32_t TPdfCanvas::DrawText(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TAlignment aAlignment,
                             TVertAlignment aVertAlignment, const std::string& Text) {
  if (Text.empty()) return 0;
  if (Y1 == 0) Y1 = TextY();
  if (Y2 == 0) Y2 = Context().PageHeight;
  const int64_t lineHeight = TextHeight("A");
  // A box at least one line high above its top gives a negative count,
  // which the lines never reach: every line is drawn. A font without height
  // has no line limit either (rather than dividing by zero).
  int64_t maxLines = lineHeight > 0 ? (int64_t(Y2) - Y1) / lineHeight : -1;
  if (maxLines == 0) maxLines = 1;

  const TBrokenText broken = BreakInBox(Clamp32(int64_t(X2) - X1), maxLines, Text);
  const int64_t blockHeight = int64_t(broken.Lines.size()) * lineHeight;
  int64_t y = Y1;
  switch (aVertAlignment) {
    case vaTop: y = Y1; break;
    case vaBottom: y = int64_t(Y2) - blockHeight; break;
    case vaCenter: y = RoundedMidpoint(Y1, int64_t(Y2) - Y1 - blockHeight); break;
  }
  if (y < Y1) y = Y1;
  // Unicode lines keep their paragraph's direction, for this box only.
  TUnicodeText* unicode = UnicodeText();
  struct TDirectionScope {
    TUnicodeText* Text;
    ~TDirectionScope() {
      if (Text) Text->SetLineDirection(-1);
    }
  } scope{unicode};
  for (size_t i = 0; i < broken.Lines.size(); ++i) {
    if (unicode && i < broken.Directions.size()) unicode->SetLineDirection(broken.Directions[i]);
    const std::string& line = broken.Lines[i];
    int64_t x = X1;
    switch (aAlignment) {
      case taLeftJustify: x = X1; break;
      case taRightJustify: x = int64_t(X2) - TextWidth(line); break;
      case taCenter: x = RoundedMidpoint(X1, int64_t(X2) - X1 - TextWidth(line)); break;
      case taJustify: break;
    }
    if (x < X1) x = X1;
    // The last line of the box continues in the next one unless the text
    // ends there: it is stretched too.
    if (aAlignment == taJustify && !broken.ParagraphEnds[i])
      DrawJustifiedLine(Clamp32(x), Clamp32(y), X2, line);
    else
      TextOut(Clamp32(x), Clamp32(y), line);
    y += lineHeight;
  }
  SetTextY(Clamp32(y));
  return Clamp32(int64_t(broken.Remaining));
}

void TPdfCanvas::DrawJustifiedLine(int32_t X, int32_t Y, int32_t aRight, const std::string& aLine) {
  const std::string text = aLine.substr(0, aLine.find_last_not_of(' ') + 1);
  const auto blanks = std::count(text.begin(), text.end(), ' ');
  if (blanks == 0 || Context().Aborted) {
    TextOut(X, Y, text);
    return;
  }
  const long double room = UnitToPoint(aRight) - UnitToPoint(X) - TextWidthInPoints(text);
  TextOutSpaced(X, Y, text, std::max<long double>(room, 0) / blanks);
}

}  // namespace Vellix
