// TextOut's content lines and the measurements of text.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>

#include "TextTestSupport.h"
#include "platform/fonts/FontMetrics.h"
#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::string Num(long double v) { return FormatPdfNumber(v); }

// Lines from index aFrom on.
std::vector<std::string> From(const std::vector<std::string>& aLines, size_t aFrom) {
  return {aLines.begin() + long(std::min(aFrom, aLines.size())), aLines.end()};
}

}  // namespace

TEST(TextOut, RotatedBoldRedLine) {
  TOpenText t;
  t.Font() = MakeFont("Times New Roman", 24, {fsBold}, clRed);
  t.Canvas().SetFontDegreeAngle(45);
  t.Canvas().TextOut(150, 400, "Demonstration");
  // The baseline lies 24 * ascent below the top; the ascent is the measuring
  // font's: tmAscent at 133 pixels times 7.5 / 1000.
  const long double ascent = FontMetricsOf("Times New Roman", {}, -133).TextMetric().tmAscent * 7.5L / 1000;
  const long double yb = (2970 - 400) * 72.0L / 254 - 24 * ascent;
  const std::vector<std::string> expected = {
      "BT", "/F0 24 Tf", "1 0 0 rg", "0.707 0.707 -0.707 0.707 42.52 " + Num(yb) + " Tm", "(Demonstration) Tj", "ET"};
  EXPECT_EQ(t.Lines().Lines(), expected);
  EXPECT_EQ(Num(yb), "707.084");  // Liberation Serif has Times New Roman's ascent
  // The angle persists; changing it later leaves written text alone.
  t.Canvas().SetFontDegreeAngle(90);
  EXPECT_EQ(t.Lines()[3].substr(0, 6), "0.707 ");
  t.Canvas().TextOut(150, 400, "up");
  EXPECT_EQ(t.Lines()[9].substr(0, 9), "0 1 -1 0 ");
  t.Canvas().SetFontDegreeAngle(0.001L);
  t.Canvas().TextOut(150, 400, "tilted");
  EXPECT_EQ(t.Lines()[15].substr(t.Lines()[15].size() - 2), "Tm");
  t.Canvas().SetFontDegreeAngle(0);
  t.Canvas().TextOut(150, 400, "level");
  EXPECT_EQ(t.Lines()[21].substr(t.Lines()[21].size() - 2), "Td");
  EXPECT_TRUE(CheckContent([&] {
                std::string s;
                for (const auto& l : t.Lines()) (s += l) += "\r\n";
                return s;
              }()).empty());
}

// Texts drawn one after another in changing fonts, sizes, colours, styles
// and angles get the lines each gets first on a page of its own, where no
// text object before it can lend its first lines; and a font whose resource
// comes anew in the next document is named anew.
TEST(TextOut, TextObjectsFollowEveryChangeOfFontSizeAndColour) {
  TOpenText t;
  const char* families[] = {"Arial", "Times New Roman", "Liberation Mono"};
  const TColor colours[] = {clBlack, clRed, RGB(1, 2, 3)};
  uint32_t seed = 11;
  auto next = [&](uint32_t aBound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % aBound;
  };
  struct Text {
    TFont Font;
    long double Angle;
  };
  std::vector<Text> texts;
  for (int i = 0; i < 200; ++i) {
    const TFontStyles style = next(3) == 0 ? TFontStyles{fsBold} : next(4) == 0 ? TFontStyles{fsUnderline} : TFontStyles{};
    texts.push_back({MakeFont(families[next(3)], int32_t(8 + next(3)), style, colours[next(3)]), next(8) == 0 ? 30.0L : 0});
  }
  auto draw = [&](const Text& aText) {
    const size_t before = t.Lines().size();
    t.Font() = aText.Font;
    t.Canvas().SetFontDegreeAngle(aText.Angle);
    t.Canvas().TextOut(100, 200, "a (text)");
    std::vector<std::string> lines;
    for (size_t i = before; i < t.Lines().size(); ++i) lines.emplace_back(t.Lines()[i]);
    return lines;
  };
  std::vector<std::vector<std::string>> together;
  draw({MakeFont("Arial", 8), 0});
  for (const Text& text : texts) together.push_back(draw(text));
  for (size_t i = 0; i < texts.size(); ++i) {
    t.Doc.NewPage();
    ASSERT_EQ(draw(texts[i]), together[i]) << "text " << i;
  }
  // The last text in Times, whose resource is not the first one (Arial came
  // first), so not /F0.
  t.Doc.NewPage();
  t.Canvas().SetFontDegreeAngle(0);
  t.Font() = MakeFont("Times New Roman", 8);
  t.Canvas().TextOut(100, 200, "x");
  EXPECT_NE(t.Lines()[1], "/F0 8 Tf");
  t.Doc.EndDoc();

  // Times first in the next document: /F0 there, whatever the last text was.
  t.Doc.BeginDoc();
  t.Font() = MakeFont("Times New Roman", 8);
  t.Canvas().SetFontDegreeAngle(0);
  t.Canvas().TextOut(100, 200, "x");
  EXPECT_EQ(t.Lines()[1], "/F0 8 Tf");
  t.Doc.EndDoc();
}

// The font of each text follows its name however it was set: renamed,
// copied, assigned, or set again to a name an earlier font had.
TEST(TextOut, FontResourceFollowsRenamesAndCopies) {
  TOpenText t;
  auto fontLine = [&](const std::string& aText) {
    t.Canvas().TextOut(100, 200, aText);
    return std::string(t.Lines()[t.Lines().size() - 5]);
  };
  t.Font() = MakeFont("Arial", 10);
  EXPECT_EQ(fontLine("a"), "/F0 10 Tf");
  TFont times = t.Font();
  times.SetName("Times New Roman");
  t.Font() = times;
  EXPECT_EQ(fontLine("b"), "/F1 10 Tf");
  t.Font().SetName("Arial");
  EXPECT_EQ(fontLine("c"), "/F0 10 Tf");
  // Another font object of the same name: the same resource.
  t.Font() = MakeFont("Times New Roman", 10);
  EXPECT_EQ(fontLine("d"), "/F1 10 Tf");
  t.Font() = times;
  EXPECT_EQ(fontLine("e"), "/F1 10 Tf");
  t.Font().SetName("Times New Roman");
  EXPECT_EQ(fontLine("f"), "/F1 10 Tf");
  t.Font().SetName("Liberation Mono");
  EXPECT_EQ(fontLine("g"), "/F2 10 Tf");
  // A copy made before the rename keeps its own name.
  t.Font() = times;
  EXPECT_EQ(fontLine("h"), "/F1 10 Tf");
  EXPECT_EQ(t.Font().Name(), "Times New Roman");
}

// Fonts taken up again in any order, by renames, copies and style changes,
// each text naming the resource of its own name and style, numbered in the
// order the name and style first appeared.
TEST(TextOut, FontResourceFollowsEveryReturnToAnEarlierFont) {
  TOpenText t;
  const std::vector<std::string> names = {"Arial", "Times New Roman", "Liberation Mono"};
  const std::vector<TFontStyles> styles = {{}, {fsBold}, {fsItalic}, {fsBold, fsItalic}};
  std::vector<TFont> copies;
  for (const std::string& name : names) copies.push_back(MakeFont(name, 10));
  t.Font() = copies[0];
  std::map<std::string, int> resources;
  std::mt19937 rng(11);
  for (int i = 0; i < 300; ++i) {
    switch (rng() % 3) {
      case 0: t.Font().SetName(names[rng() % names.size()]); break;
      case 1: t.Font() = copies[rng() % copies.size()]; break;
      default: t.Font().SetStyle(styles[rng() % styles.size()]); break;
    }
    const std::string key = t.Font().Name() + "/" + std::to_string(t.Font().Style().Bits());
    const int expected = resources.emplace(key, int(resources.size())).first->second;
    t.Canvas().TextOut(100, 200, "x");
    ASSERT_EQ(t.Lines()[t.Lines().size() - 5], "/F" + std::to_string(expected) + " 10 Tf") << "text " << i << ", " << key;
  }
  EXPECT_EQ(resources.size(), names.size() * styles.size());
}

TEST(TextOut, UnderlinedText) {
  TOpenText t;
  t.Font() = MakeFont("Times New Roman", 12, {fsBold, fsUnderline});
  t.Canvas().TextOut(200, 1500, "Underlined");
  const TFontMetrics& measuring = FontMetricsOf("Times New Roman", {}, -133);
  const long double scale = 7.5L / 1000;
  const long double x = 200 * 72.0L / 254;
  const long double yb = (2970 - 1500) * 72.0L / 254 - 12 * measuring.TextMetric().tmAscent * scale;
  const long double y1 = yb + 12 * measuring.OutlineTextMetric().otmsUnderscorePosition * scale;
  // The underline is as long as the text measured in the styled canvas font.
  const long double w = FontMetricsOf("Times New Roman", {fsBold}, -16).TextWidthThousandths("Underlined") * 12.0L / 1000;
  const std::vector<std::string> expected = {
      "0 0 0 RG", "[]0 d", "0.54 w", Num(x) + " " + Num(y1) + " m " + Num(x + w) + " " + Num(y1) + " l S"};
  EXPECT_EQ(From(t.Lines().Lines(), 6), expected);

  // Rotated, the underline runs along the baseline.
  t.Lines().clear();
  t.Canvas().SetFontDegreeAngle(90);
  t.Canvas().TextOut(200, 1500, "Underlined");
  const long double u = 12 * measuring.OutlineTextMetric().otmsUnderscorePosition * scale;
  EXPECT_EQ(t.Lines()[9], Num(x - u) + " " + Num(yb) + " m " + Num(x - u) + " " + Num(yb + w) + " l S");
  // Strike-out writes nothing of its own.
  t.Lines().clear();
  t.Font().SetStyle({fsStrikeOut});
  t.Canvas().TextOut(200, 1500, "struck");
  EXPECT_EQ(t.Lines().size(), 6u);
}

TEST(TextOut, StringsAreEscapedAndNeverBroken) {
  TOpenText t;
  t.Font() = MakeFont("Arial", 10);
  TPdfCanvas& c = t.Canvas();
  c.TextOut(0, 0, "a(b)c\\d");
  EXPECT_EQ(t.Lines()[4], "(a\\(b\\)c\\\\d) Tj");
  c.TextOut(0, 0, "one\r\ntwo\x80\xE9\x01");
  EXPECT_EQ(t.Lines()[10], "(one\\\r\\\ntwo\x80\xE9\x01) Tj");
  EXPECT_EQ(Fonts(t.Doc).Count(), 1);

  // Empty text still writes a text object and registers its font.
  c.Font() = MakeFont("Courier New", 10);
  c.TextOut(0, 0, "");
  EXPECT_EQ(t.Lines()[16], "() Tj");
  EXPECT_EQ(t.Lines()[13], "/F1 10 Tf");
  EXPECT_EQ(Fonts(t.Doc).Count(), 2);
}

TEST(TextMeasure, WidthHeightAndExtent) {
  TOpenText t;
  TPdfCanvas& c = t.Canvas();
  for (int32_t size : {8, 10, 12, 24}) {
    for (TFontStyles style : {TFontStyles{}, TFontStyles{fsBold}}) {
      c.Font() = MakeFont("Arial", size, style);
      const TFontMetrics& m = FontMetricsOf(c.Font());
      const std::string text = "The quick brown fox, \x80 5";
      EXPECT_EQ(c.TextWidth(text), std::lround(m.TextWidthThousandths(text) * size / 1000.0L * 1.02L * 254 / 72)) << size;
      EXPECT_EQ(c.TextHeight("A"), std::lround(m.TextMetric().tmHeight * 254.0L / 96));
      EXPECT_EQ(c.TextHeight("gjÁ"), c.TextHeight("A"));
      EXPECT_EQ(c.TextExtent(text), (TSize{c.TextWidth(text), c.TextHeight(text)}));
    }
  }
  EXPECT_EQ(c.TextWidth(""), 0);
  // Arial 24 is a 32-pixel em: cell 29 + 7 = 36 pixels, 95.25 tenths.
  c.Font() = MakeFont("Arial", 24);
  EXPECT_EQ(c.TextHeight("A"), 95);
  // Underline and colour do not change measurement.
  const int32_t plain = c.TextWidth("Width");
  c.Font().SetStyle({fsUnderline, fsStrikeOut});
  c.Font().SetColor(clBlue);
  EXPECT_EQ(c.TextWidth("Width"), plain);
}

TEST(TextMeasure, TruncateTextKeepsTheLongestFittingStart) {
  TOpenText t;
  TPdfCanvas& c = t.Canvas();
  c.Font() = MakeFont("Times New Roman", 11);
  const std::string text = "Truncated text, measured one character at a time";
  for (int32_t max : {-5, 0, 1, 10, 57, 200, 333, 700, 5000}) {
    std::string naive = text;
    while (!naive.empty() && c.TextWidth(naive) > max) naive.pop_back();
    std::string fast = text;
    c.TruncateText(fast, max);
    EXPECT_EQ(fast, naive) << max;
  }
  std::string text2 = "W";
  c.TruncateText(text2, c.TextWidth("W") - 1);
  EXPECT_EQ(text2, "");
}

TEST(TextMeasure, AbortedAndClosedDocuments) {
  TVellix doc;
  TPdfCanvas& c = doc.Canvas();
  EXPECT_EQ(MessageOf([&] { c.TextOut(0, 0, "x"); }), "Document not opened");
  EXPECT_EQ(MessageOf([&] { c.TextWidth("x"); }), "Document not opened");
  EXPECT_EQ(MessageOf([&] { c.TextHeight("x"); }), "Document not opened");
  std::string empty;
  EXPECT_NO_THROW(c.TruncateText(empty, 0));

  TMemoryStream out;
  doc.SetOutStream(&out);
  doc.BeginDoc();
  doc.Abort();
  c.TextOut(0, 0, "x");
  EXPECT_TRUE(c.PdfStream().empty());
  EXPECT_EQ(c.TextWidth("a long text"), 1);
  EXPECT_EQ(c.TextExtent("x"), (TSize{1, 1}));
  std::string s = "abc";
  c.TruncateText(s, 1);
  EXPECT_EQ(s, "abc");
  c.TruncateText(s, 0);
  EXPECT_EQ(s, "");
}

// Font heights and sizes anywhere in the 32-bit range measure, draw, wrap and
// underline without overflow (the sanitizer build checks every step): the
// measurements saturate and the document stays one readers accept.
TEST(TextMeasure, ExtremeFontHeightsSaturateInsteadOfOverflowing) {
  for (int32_t height : {INT32_MIN, INT32_MIN + 1, -2000000000, -100000, 1, 100000, 2000000000, INT32_MAX}) {
    SCOPED_TRACE(height);
    TTempDir dir;
    const std::string path = dir.File("huge.pdf");
    int32_t width = 0, lineHeight = 0;
    WriteDocument(path, [&](TVellix& aDoc) {
      TPdfCanvas& c = aDoc.Canvas();
      c.Font().SetName("Arial");
      c.Font().SetHeight(height);
      c.Font().SetStyle({fsUnderline});
      width = c.TextWidth("x");
      lineHeight = c.TextHeight("x");
      c.TextExtent("wide text");
      std::string text = "truncate me";
      c.TruncateText(text, 1000);
      c.TextOut(100, 100, "underlined");
      c.SetFontDegreeAngle(30);
      c.TextOut(100, 100, "turned");
      c.SetFontDegreeAngle(0);
      c.DrawText(100, 200, 1900, 2800, taCenter, vaCenter, "a box of several words that wrap");
      c.DefineGrid("G", taLeftJustify, 10);
      c.DefineCol("G", 800, taRightJustify, vaBottom, false);
      c.DefineCol("G", 800, taCenter, vaCenter, true);
      c.DrawGrid("G", 100, 300);
      c.DrawRow("G", 200);
      c.TextToCell("G", 0, 0, "cell");
      c.TextToCell("G", 1, 0, "a wrapped cell");
    });
    EXPECT_GE(width, 0);
    EXPECT_GT(lineHeight, 0);
    EXPECT_EQ(ReadersComplaints(path), "");
  }
}
