// The line-breaking rules with a meter of known widths, so that every case
// sits exactly on the boundary it tests.

#include <gtest/gtest.h>

#include <map>

#include "text/LineBreaker.h"

using namespace Vellix;

namespace {

// Widths as TextWidth would give them: per-character widths summed, with a
// chosen width per character (10 by default). Counts the characters it looks
// at, to show that breaking a paragraph costs linear work.
class TFakeMeter : public TPrefixMeter {
public:
  std::map<char, int32_t> Widths;
  size_t Looked = 0;
  int32_t Width(char c) const {
    auto it = Widths.find(c);
    return it == Widths.end() ? 10 : it->second;
  }
  size_t FirstOverflow(std::string_view aLine, int32_t aMaxWidth) override {
    int32_t sum = 0;
    for (size_t i = 0; i < aLine.size(); ++i) {
      ++Looked;
      sum += Width(aLine[i]);
      if (sum > aMaxWidth) return i + 1;
    }
    return 0;
  }
};

std::vector<std::string> Lines(const std::string& aText, int32_t aWidth, int64_t aMaxLines = -1) {
  TFakeMeter meter;
  return BreakText(aText, aWidth, aMaxLines, meter).Lines;
}

using L = std::vector<std::string>;

}  // namespace

TEST(LineBreaker, ExplicitLineEndsCrLfLoneCrLoneLfAndTwoCrs) {
  EXPECT_EQ(Lines("one\r\ntwo", 1000), (L{"one", "two"}));
  EXPECT_EQ(Lines("one\rtwo", 1000), (L{"one", "two"}));
  EXPECT_EQ(Lines("one\ntwo", 1000), (L{"one", "two"}));
  EXPECT_EQ(Lines("one\r\rtwo", 1000), (L{"one", "", "two"}));
  // LF CR is two line ends, not one.
  EXPECT_EQ(Lines("one\n\rtwo", 1000), (L{"one", "", "two"}));
  // A final line end adds no empty line after it.
  EXPECT_EQ(Lines("one\r\n", 1000), (L{"one"}));
}

TEST(LineBreaker, BreaksAfterTheRightmostBreakCharacterThatFitsAndKeepsIt) {
  // 10 units a character: "abc def ghi" needs 110; 75 fits 7 characters.
  EXPECT_EQ(Lines("abc def ghi", 75), (L{"abc ", "def ghi"}));
  // A line that fits exactly is not broken.
  EXPECT_EQ(Lines("abc def", 70), (L{"abc def"}));
  // The hyphen and the slash stay on the upper line.
  EXPECT_EQ(Lines("well-known", 80), (L{"well-", "known"}));
  EXPECT_EQ(Lines("and/or more", 60), (L{"and/", "or ", "more"}));
  // Every break character of the set, and none beyond it.
  for (char c : std::string(" !*+,-./:;=?")) {
    EXPECT_TRUE(IsBreakChar(c)) << c;
    EXPECT_EQ(Lines(std::string("ab") + c + "cdef", 40), (L{std::string("ab") + c, "cdef"})) << c;
  }
  for (char c : std::string("\"#$%&'()<>@[\\]^_`{|}~\t")) {
    EXPECT_FALSE(IsBreakChar(c)) << c;
    EXPECT_EQ(Lines(std::string("ab") + c + "cdef", 40), (L{std::string("ab") + c + "c", "def"})) << c;
  }
  // Only break characters inside the part that fits count: the blank at
  // position 5 lies beyond the 4 characters that fit, so the word is cut.
  EXPECT_EQ(Lines("abcd efg", 45), (L{"abcd", " efg"}));
}

TEST(LineBreaker, CutsAWordWiderThanTheBoxWithoutHyphen) {
  EXPECT_EQ(Lines("abcdefghij", 35), (L{"abc", "def", "ghi", "j"}));
  // A single character wider than the box still makes a line of its own.
  EXPECT_EQ(Lines("abc", 5), (L{"a", "b", "c"}));
  EXPECT_EQ(Lines("ab", -20), (L{"a", "b"}));
}

TEST(LineBreaker, TheLineEndIsNotMeasuredWithItsLine) {
  // "abc" fits 30 exactly; a line end of visible width after it neither
  // wraps the line nor adds an empty one.
  TFakeMeter meter;
  meter.Widths['\r'] = 5;
  meter.Widths['\n'] = 5;
  EXPECT_EQ(BreakText("abc\rdef", 30, -1, meter).Lines, (L{"abc", "def"}));
  EXPECT_EQ(BreakText("ab cd\r\nef", 50, -1, meter).Lines, (L{"ab cd", "ef"}));
  EXPECT_EQ(BreakText("\n\nx", 0, -1, meter).Lines, (L{"", "", "x"}));
}

TEST(LineBreaker, StopsAtMaxLinesAndCountsWhatIsLeft) {
  TFakeMeter meter;
  TBrokenText t = BreakText("one\r\ntwo\r\nthree", 1000, 1, meter);
  EXPECT_EQ(t.Lines, (L{"one"}));
  EXPECT_EQ(t.Remaining, 10u);  // "two\r\nthree"
  t = BreakText("one\r\ntwo\r\nthree", 1000, 2, meter);
  EXPECT_EQ(t.Remaining, 5u);
  t = BreakText("one\r\ntwo\r\nthree", 1000, 3, meter);
  EXPECT_EQ(t.Remaining, 0u);
  // The CR LF that ends the last line drawn is consumed with it.
  t = BreakText("one\r\n", 1000, 1, meter);
  EXPECT_EQ(t.Remaining, 0u);
  // No limit.
  t = BreakText("a b c d e f", 20, -3, meter);
  EXPECT_EQ(t.Lines.size(), 6u);
  EXPECT_EQ(t.Remaining, 0u);
}

TEST(LineBreaker, BreakPositionCountsTheLineEnd) {
  TFakeMeter meter;
  EXPECT_EQ(BreakPosition("ab\r\ncd", 1000, meter), 3u);
  EXPECT_EQ(BreakPosition("ab cd", 1000, meter), 5u);
  EXPECT_EQ(BreakPosition("ab cd", 40, meter), 3u);
}

TEST(LineBreaker, ALongParagraphCostsLinearWork) {
  std::string paragraph;
  for (int i = 0; i < 20000; ++i) paragraph += "word ";
  TFakeMeter meter;
  TBrokenText t = BreakText(paragraph, 500, -1, meter);
  EXPECT_EQ(t.Lines.size(), 2000u);  // ten words of 50 units a line
  EXPECT_EQ(t.Lines[0], "word word word word word word word word word word ");
  // Each character is looked at about once, plus the one that overflows.
  EXPECT_LT(meter.Looked, paragraph.size() * 2);
}
