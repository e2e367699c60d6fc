#include "text/LineBreaker.h"

#include <algorithm>

namespace Vellix {

namespace {

constexpr char CR = 13;
constexpr char LF = 10;

bool IsLineEnd(char aChar) { return aChar == CR || aChar == LF; }

// aLineLength is the number of characters up to and including the first line
// end, or the whole text when it holds none.
size_t BreakAt(std::string_view aText, size_t aLineLength, int32_t aWidth, TPrefixMeter& aMeter) {
  // The line end itself is not measured: it is never drawn, and counting its
  // width would wrap a line that fits exactly, or add an empty line after it.
  const size_t drawn = IsLineEnd(aText[aLineLength - 1]) ? aLineLength - 1 : aLineLength;
  const size_t overflow = aMeter.FirstOverflow(aText.substr(0, drawn), aWidth);
  if (overflow == 0) return aLineLength;
  // The prefix of overflow - 1 characters still fits: end the line after the
  // rightmost break character in it, so that a blank, hyphen or slash stays
  // on the upper line.
  for (size_t i = overflow - 1; i >= 1; --i)
    if (IsBreakChar(aText[i - 1])) return i;
  return std::max<size_t>(overflow - 1, 1);
}

}  // namespace

bool IsBreakChar(char aChar) {
  switch (aChar) {
    case ' ': case '!': case '*': case '+': case ',': case '-':
    case '.': case '/': case ':': case ';': case '=': case '?':
      return true;
    default:
      return false;
  }
}

size_t BreakPosition(std::string_view aText, int32_t aWidth, TPrefixMeter& aMeter) {
  const size_t end = aText.find_first_of("\r\n");
  return BreakAt(aText, end == std::string_view::npos ? aText.size() : end + 1, aWidth, aMeter);
}

TBrokenText BreakText(std::string_view aText, int32_t aWidth, int64_t aMaxLines, TPrefixMeter& aMeter) {
  TBrokenText result;
  // The first line end at or after the current position, kept between lines
  // so that a long paragraph is not searched again for every line.
  size_t pos = 0;
  size_t lineEnd = 0;
  bool lineEndKnown = false;
  while (pos < aText.size()) {
    if (!lineEndKnown || lineEnd < pos) {
      lineEnd = aText.find_first_of("\r\n", pos);
      if (lineEnd == std::string_view::npos) lineEnd = aText.size();
      lineEndKnown = true;
    }
    const std::string_view rest = aText.substr(pos);
    const size_t lineLength = std::min(lineEnd - pos + 1, rest.size());
    const size_t n = BreakAt(rest, lineLength, aWidth, aMeter);
    const char last = rest[n - 1];
    if (IsLineEnd(last)) {
      result.Lines.emplace_back(rest.substr(0, n - 1));
      pos += n;
      if (last == CR && pos < aText.size() && aText[pos] == LF) ++pos;
    } else {
      result.Lines.emplace_back(rest.substr(0, n));
      pos += n;
    }
    result.ParagraphEnds.push_back(IsLineEnd(last) || pos == aText.size());
    if (aMaxLines > 0 && int64_t(result.Lines.size()) >= aMaxLines) break;
  }
  result.Remaining = aText.size() - pos;
  return result;
}

}  // namespace Vellix
