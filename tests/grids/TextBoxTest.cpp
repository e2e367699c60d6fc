// DrawText on a real document with a real font. Expected positions are
// computed from TextWidth and TextHeight, and the expected output is what
// TextOut writes for those positions, so each test states the layout rule
// and nothing about the font's numbers.

#include <gtest/gtest.h>

#include <utility>

#include "GridTestSupport.h"

using namespace Vellix;
using namespace GridTest;

namespace {

struct TPlaced {
  int32_t X, Y;
  std::string Text;
};

// What TextOut writes for the given lines, in order.
Lines TextOuts(TPdfCanvas& aCanvas, const std::vector<TPlaced>& aLines) {
  return Capture(aCanvas, [&] {
    for (const TPlaced& p : aLines) aCanvas.TextOut(p.X, p.Y, p.Text);
  });
}

// The lines of aText in a box aWidth wide, found the slow way: TextWidth of
// every prefix, as the break rule reads.
Lines ReferenceLines(TPdfCanvas& aCanvas, std::string aText, int32_t aWidth) {
  auto isBreak = [](char c) { return std::string(" !*+,-./:;=?").find(c) != std::string::npos; };
  Lines lines;
  while (!aText.empty()) {
    size_t n = aText.size();
    const size_t end = aText.find_first_of("\r\n");
    if (end != std::string::npos) n = end + 1;
    const size_t shown = end != std::string::npos ? n - 1 : n;  // a line end is not measured
    if (aCanvas.TextWidth(aText.substr(0, shown)) > aWidth) {
      size_t i = 1;
      while (aCanvas.TextWidth(aText.substr(0, i)) <= aWidth) ++i;
      size_t k = i - 1;
      while (k >= 1 && !isBreak(aText[k - 1])) --k;
      n = k >= 1 ? k : std::max<size_t>(i - 1, 1);
    }
    const char last = aText[n - 1];
    if (last == '\n' || last == '\r') {
      lines.push_back(aText.substr(0, n - 1));
      aText.erase(0, n);
      if (last == '\r' && !aText.empty() && aText[0] == '\n') aText.erase(0, 1);
    } else {
      lines.push_back(aText.substr(0, n));
      aText.erase(0, n);
    }
  }
  return lines;
}

}  // namespace

TEST(DrawText, LineEndsCrLfLoneCrLoneLfAndTwoCrs) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t lh = c.TextHeight("A");
  const Lines drawn = Capture(c, [&] { c.DrawText(200, 500, 1900, 0, taLeftJustify, vaTop, "one\r\ntwo"); });
  EXPECT_EQ(drawn, TextOuts(c, {{200, 500, "one"}, {200, 500 + lh, "two"}}));
  EXPECT_EQ(c.TextY(), 500 + 2 * lh);

  for (const char* text : {"one\rtwo", "one\ntwo"})
    EXPECT_EQ(TextsOf(Capture(c, [&] { c.DrawText(200, 500, 1900, 0, taLeftJustify, vaTop, text); })),
              (Lines{"one", "two"}));
  // Two CRs: an empty line between, written as an empty text object.
  const Lines twoCrs = Capture(c, [&] { c.DrawText(200, 500, 1900, 0, taLeftJustify, vaTop, "one\r\rtwo"); });
  EXPECT_EQ(twoCrs, TextOuts(c, {{200, 500, "one"}, {200, 500 + lh, ""}, {200, 500 + 2 * lh, "two"}}));
}

TEST(DrawText, WrapsAfterTheRightmostBreakCharacterThatFits) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  auto lines = [&](const std::string& text, int32_t width) {
    return TextsOf(Capture(c, [&] { c.DrawText(200, 500, 200 + width, 0, taLeftJustify, vaTop, text); }));
  };
  // The blank and the hyphen stay on the upper line.
  EXPECT_EQ(lines("alpha beta gamma", c.TextWidth("alpha beta ga")), (Lines{"alpha beta ", "gamma"}));
  EXPECT_EQ(lines("alpha beta-gamma", c.TextWidth("alpha beta-ga")), (Lines{"alpha beta-", "gamma"}));
  // The rightmost break character wins over an earlier one.
  EXPECT_EQ(lines("a, b. cdefgh", c.TextWidth("a, b. cd")), (Lines{"a, b. ", "cdefgh"}));
  // A width equal to the line's fits; one unit less does not.
  EXPECT_EQ(lines("alpha beta", c.TextWidth("alpha beta")), (Lines{"alpha beta"}));
  EXPECT_EQ(lines("alpha beta", c.TextWidth("alpha beta") - 1), (Lines{"alpha ", "beta"}));
}

TEST(DrawText, CutsAWordLongerThanTheBoxWithoutHyphen) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const std::string word = "Supercalifragilistic";
  const int32_t width = c.TextWidth("Supercal");
  size_t fit = 1;
  while (c.TextWidth(word.substr(0, fit + 1)) <= width) ++fit;
  const Lines drawn = TextsOf(Capture(c, [&] { c.DrawText(200, 500, 200 + width, 0, taLeftJustify, vaTop, word); }));
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], word.substr(0, fit));
  std::string joined;
  for (const auto& l : drawn) joined += l;
  EXPECT_EQ(joined, word);
  // A box narrower than any character still takes one character a line.
  EXPECT_EQ(TextsOf(Capture(c, [&] { c.DrawText(200, 500, 201, 0, taLeftJustify, vaTop, "WM"); })),
            (Lines{"W", "M"}));
}

TEST(DrawText, IncrementalWidthsGiveTheLinesOfTextWidthPerPrefix) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  std::string text;
  for (int i = 0; i < 700; ++i) text += char(32 + (i * 37) % 224);
  text += "\r\nThe end. And a last, quite long line-ending/with: breaks; of=all?kinds!*+";
  const std::pair<const char*, TFontStyles> fonts[] = {
      {"Arial", {}}, {"Times New Roman", {fsBold, fsItalic}}, {"Courier New", {fsBold}}};
  for (const auto& [name, style] : fonts) {
    c.Font().SetName(name);
    c.Font().SetStyle(style);
    for (int size : {7, 10, 23}) {
      c.Font().SetSize(size);
      for (int32_t width : {37, 240, 333, 1000}) {
        const Lines drawn =
            TextsOf(Capture(c, [&] { c.DrawText(100, 100, 100 + width, -100, taLeftJustify, vaTop, text); }));
        // TextsOf unescapes what TextOut escaped, so the lines compare as given.
        EXPECT_EQ(drawn, ReferenceLines(c, text, width)) << name << " " << size << " width " << width;
      }
    }
  }
}

TEST(DrawText, LineCountComesFromTheBoxHeight) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t lh = c.TextHeight("A");
  const std::string text = "one\ntwo\nthree";  // 13 characters
  auto draw = [&](int32_t y2, int32_t* left) {
    return TextsOf(Capture(c, [&] { *left = c.DrawText(200, 500, 1900, y2, taLeftJustify, vaTop, text); }));
  };
  int32_t left = -1;
  EXPECT_EQ(draw(500 + 2 * lh, &left), (Lines{"one", "two"}));
  EXPECT_EQ(left, 5);  // "three"
  EXPECT_EQ(draw(500 + 2 * lh - 1, &left), (Lines{"one"}));
  EXPECT_EQ(left, 9);  // "two\nthree"
  // A box lower than one line still gets one.
  EXPECT_EQ(draw(501, &left), (Lines{"one"}));
  EXPECT_EQ(left, 9);
  // Less than a line above the top: still one line.
  EXPECT_EQ(draw(500 - lh + 1, &left), (Lines{"one"}));
  // A line or more above the top: no limit.
  EXPECT_EQ(draw(500 - lh, &left), (Lines{"one", "two", "three"}));
  EXPECT_EQ(left, 0);
  EXPECT_EQ(c.TextY(), 500 + 3 * lh);
  // Y2 = 0 is the page height.
  EXPECT_EQ(draw(0, &left), (Lines{"one", "two", "three"}));
  EXPECT_EQ(left, 0);
  // The CR LF ending the last line drawn is not left over.
  EXPECT_EQ(c.DrawText(200, 500, 1900, 501, taLeftJustify, vaTop, "one\r\ntwo"), 3);
}

TEST(DrawText, RightAlignmentKeepsTrailingBlanksAndNoLineStartsLeftOfTheBox) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t lh = c.TextHeight("A");
  const int32_t width = c.TextWidth("alpha beta ga");
  const int32_t x2 = 200 + width;
  const Lines drawn =
      Capture(c, [&] { c.DrawText(200, 500, x2, 0, taRightJustify, vaTop, "alpha beta gamma"); });
  EXPECT_NE(c.TextWidth("alpha beta "), c.TextWidth("alpha beta"));
  EXPECT_EQ(drawn, TextOuts(c, {{x2 - c.TextWidth("alpha beta "), 500, "alpha beta "},
                                {x2 - c.TextWidth("gamma"), 500 + lh, "gamma"}}));
  // A single character wider than the box starts at X1, for every alignment.
  for (TAlignment a : {taRightJustify, taCenter})
    EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 201, 0, a, vaTop, "W"); }), TextOuts(c, {{200, 500, "W"}}));
}

TEST(DrawText, CentringRoundsHalvesToEven) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t w = c.TextWidth("Centre");
  // (X2 - X1 - w) / 2 + X1 = X1 + 0.5: 200.5 gives 200, 201.5 gives 202.
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 200 + w + 1, 0, taCenter, vaTop, "Centre"); }),
            TextOuts(c, {{200, 500, "Centre"}}));
  EXPECT_EQ(Capture(c, [&] { c.DrawText(201, 500, 201 + w + 1, 0, taCenter, vaTop, "Centre"); }),
            TextOuts(c, {{202, 500, "Centre"}}));
  // Vertically the same: a box one unit higher than the line.
  const int32_t lh = c.TextHeight("A");
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 1900, 500 + lh + 1, taLeftJustify, vaCenter, "x"); }),
            TextOuts(c, {{200, 500, "x"}}));
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 501, 1900, 501 + lh + 1, taLeftJustify, vaCenter, "x"); }),
            TextOuts(c, {{200, 502, "x"}}));
}

TEST(DrawText, BottomAlignmentAndTheBlockNeverStartsAboveTheBox) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t lh = c.TextHeight("A");
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 1900, 1000, taLeftJustify, vaBottom, "a\nb"); }),
            TextOuts(c, {{200, 1000 - 2 * lh, "a"}, {200, 1000 - lh, "b"}}));
  EXPECT_EQ(c.TextY(), 1000);
  // A box lower than its one line: the line starts at Y1.
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 1900, 501, taLeftJustify, vaBottom, "a"); }),
            TextOuts(c, {{200, 500, "a"}}));
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 500, 1900, 501, taLeftJustify, vaCenter, "a"); }),
            TextOuts(c, {{200, 500, "a"}}));
}

TEST(DrawText, TextYFlowsParagraphsDownThePage) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  const int32_t lh = c.TextHeight("A");
  c.SetTextY(300);
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 0, 1900, 0, taLeftJustify, vaTop, "first\nsecond"); }),
            TextOuts(c, {{200, 300, "first"}, {200, 300 + lh, "second"}}));
  EXPECT_EQ(c.TextY(), 300 + 2 * lh);
  EXPECT_EQ(Capture(c, [&] { c.DrawText(200, 0, 1900, 0, taLeftJustify, vaTop, "third"); }),
            TextOuts(c, {{200, 300 + 2 * lh, "third"}}));
  EXPECT_EQ(c.TextY(), 300 + 3 * lh);
  // NewPage keeps it.
  d.Doc.NewPage();
  EXPECT_EQ(c.TextY(), 300 + 3 * lh);
  // An empty text does nothing at all.
  EXPECT_EQ(Capture(c, [&] { EXPECT_EQ(c.DrawText(200, 0, 1900, 0, taLeftJustify, vaTop, ""), 0); }), Lines{});
  EXPECT_EQ(c.TextY(), 300 + 3 * lh);
}

TEST(DrawText, OutsideAnOpenDocument) {
  TVellix doc;
  TPdfCanvas& c = doc.Canvas();
  EXPECT_EQ(c.DrawText(0, 0, 100, 100, taLeftJustify, vaTop, ""), 0);
  EXPECT_EQ(ErrorOf([&] { c.DrawText(0, 100, 100, 200, taLeftJustify, vaTop, "x"); }), "Document not opened");

  // Aborted: every width and the line height are 1; nothing is written, but
  // the count and TextY are still given.
  TOpenDocument d;
  TPdfCanvas& a = d.Canvas();
  d.Doc.Abort();
  int32_t left = -1;
  EXPECT_EQ(Capture(a, [&] { left = a.DrawText(200, 500, 1900, 502, taLeftJustify, vaTop, "a\nb\nc"); }), Lines{});
  EXPECT_EQ(left, 1);
  EXPECT_EQ(a.TextY(), 502);
  // A box narrower than 1 unit: one character a line.
  EXPECT_EQ(a.DrawText(200, 500, 200, 0, taLeftJustify, vaTop, "abc"), 0);
  EXPECT_EQ(a.TextY(), 503);
}
