#pragma once
// Splitting a block of text into the lines of a text box. A line ends at an
// explicit line end (CR, LF or CR LF) and, where it is too wide for the box,
// after the rightmost break character that still fits; a word wider than the
// box is cut where it stops fitting, without hyphen.
//
// Widths come from a TPrefixMeter, so the same rules serve the canvas (which
// measures with the current font) and any other source of widths.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vellix {

// Measures the leading characters of a line of text against a width, in
// length units. The widths it compares must be those of TextWidth of each
// prefix (2 % allowance and rounding included).
class TPrefixMeter {
public:
  virtual ~TPrefixMeter() = default;
  // The smallest count i (1 <= i <= aLine.size()) whose first i characters
  // are wider than aMaxWidth, or 0 when all of aLine is at most aMaxWidth wide.
  virtual size_t FirstOverflow(std::string_view aLine, int32_t aMaxWidth) = 0;
};

// True for the characters after which a too-wide line may be broken:
// blank ! * + , - . / : ; = ?
bool IsBreakChar(char aChar);

// The number of leading characters of aText that make up its first line in a
// box aWidth wide. When the line ends at a CR or LF, that character is the
// last one counted (it is not measured: a line fits by what it shows).
// Always at least 1 for a non-empty text.
size_t BreakPosition(std::string_view aText, int32_t aWidth, TPrefixMeter& aMeter);

// The lines of a text box and what did not fit.
struct TBrokenText {
  std::vector<std::string> Lines;  // without their line ends
  // For each line: it ends its paragraph (at a line end, or the text's end),
  // so justified text does not stretch it.
  std::vector<bool> ParagraphEnds;
  size_t Remaining = 0;            // characters of the text left over
  // For Unicode text, each line's paragraph direction (1 right to left, 0
  // left to right), so that every line of a paragraph is ordered as the
  // paragraph is; empty for code page text.
  std::vector<int> Directions;
};

// Splits aText into at most aMaxLines lines (no limit when aMaxLines <= 0).
// A CR LF pair ends one line; a lone CR or a lone LF ends a line too.
TBrokenText BreakText(std::string_view aText, int32_t aWidth, int64_t aMaxLines, TPrefixMeter& aMeter);

}  // namespace Vellix
