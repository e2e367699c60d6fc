// What real readers make of our text: the characters, the widths, and what
// they draw.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>

#include "TextTestSupport.h"
#include <vellix/CodePage.h>
#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

struct TWordBox {
  std::string Word;
  double XMin, YMin, XMax, YMax;
};

std::vector<TWordBox> WordBoxes(const std::string& aPdf) {
  const TRunResult r = PdfToText(aPdf, {"-bbox"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Err, "");
  std::vector<TWordBox> boxes;
  const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(r.Out.begin(), r.Out.end(), word), end; it != end; ++it)
    boxes.push_back({(*it)[5], std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
  return boxes;
}

// A grey-scale rendering of page 1 at 72 dots per inch: one pixel per point.
struct TGreyPage {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Pixels;
  uint8_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

TGreyPage Render(const std::string& aPdf, const std::string& aRoot) {
  TGreyPage page;
  const TRunResult r = PdfToPpm(aPdf, {"-gray", "-r", "72", "-singlefile"}, aRoot);
  EXPECT_EQ(r.Status, 0) << r.Err;
  const std::string data = ReadFileBytes(aRoot + ".pgm");
  int maxValue = 0, consumed = 0;
  if (std::sscanf(data.c_str(), "P5 %d %d %d%n", &page.Width, &page.Height, &maxValue, &consumed) != 3) return page;
  page.Pixels.assign(data.begin() + consumed + 1, data.end());
  EXPECT_EQ(page.Pixels.size(), size_t(page.Width) * size_t(page.Height));
  return page;
}

}  // namespace

TEST(TextReaders, TextComesBackFromTheFile) {
  TTempDir dir;
  const std::string path = dir.File("text.pdf");
  const std::vector<std::string> lines = {"Escapes: a(b)c\\d and (unbalanced", "Code page: caf\xC3\xA9 \xE2\x82\xAC" "5 it\xE2\x80\x99s"};
  const std::string pdf = WriteDocument(path, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    int32_t y = 200;
    for (const char* family : {"Arial", "Times New Roman", "Courier New"}) {
      c.Font() = MakeFont(family, 12);
      for (const std::string& line : lines) {
        c.TextOut(200, y, Utf8ToAnsi(line));
        y += 80;
      }
    }
  });
  EXPECT_EQ(ReadersComplaints(path), "");
  EXPECT_TRUE(CheckPdfContents(pdf).empty());
  EXPECT_EQ(MutoolDraw(path).Status, 0);
  const TRunResult r = PdfToText(path);
  std::string expected, got;
  for (int i = 0; i < 3; ++i)
    for (const std::string& line : lines) expected += line + "\n";
  for (char ch : r.Out)  // blank lines and the form feed are layout, not text
    if (ch != '\f' && !(ch == '\n' && (got.empty() || got.back() == '\n'))) got += ch;
  EXPECT_EQ(got, expected);
}

TEST(TextReaders, WordBoxesAgreeWithMeasuredWidths) {
  TTempDir dir;
  const std::string path = dir.File("widths.pdf");
  const std::vector<std::string> words = {"Widths", "agree", "MMMMMMMM", "iiiiiiiiiiii", "Quarterly", "1234567890"};
  std::vector<double> measured;  // TextWidth in points
  WriteDocument(path, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    int32_t y = 100;
    for (const char* family : {"Arial", "Times New Roman", "Courier New"})
      for (int32_t size : {12, 24, 48}) {
        c.Font() = MakeFont(family, size);
        for (const std::string& word : words) {
          c.TextOut(100, y, word);
          measured.push_back(c.TextWidth(word) * 72.0 / 254);
          y += size * 254 / 72 + 10;
          if (y > 2800) {
            d.NewPage();
            y = 100;
          }
        }
      }
  });
  std::vector<TWordBox> boxes = WordBoxes(path);
  ASSERT_EQ(boxes.size(), measured.size());
  for (size_t i = 0; i < boxes.size(); ++i) {
    const double drawn = boxes[i].XMax - boxes[i].XMin;
    SCOPED_TRACE(boxes[i].Word + " #" + std::to_string(i));
    // TextWidth is what is drawn plus 2 %, rounded to tenths of a millimetre
    // (0.14 points).
    EXPECT_NEAR(drawn * 1.02, measured[i], 0.15);
  }
}

TEST(TextReaders, RenderedUnderlineAndRotation) {
  TTempDir dir;
  const std::string path = dir.File("render.pdf");
  long double underlineY = 0, x1 = 0, x2 = 0;
  WriteDocument(path, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font() = MakeFont("Arial", 36, {fsUnderline});
    c.TextOut(200, 300, "Underlined");
    const std::string line(c.PdfStream().back());  // "x1 y1 m x2 y2 l S"
    std::sscanf(line.c_str(), "%Lf %Lf m %Lf", &x1, &underlineY, &x2);
    c.Font() = MakeFont("Arial", 36);
    c.SetFontDegreeAngle(90);
    c.TextOut(1000, 2500, "Rotated upwards");
  });
  const TGreyPage page = Render(path, dir.File("render"));
  ASSERT_GE(page.Width, 595);  // A4 at 72 dpi, rounded up by the renderer
  const int row = int(std::lround(841.89 - double(underlineY)));
  // The underline is dark along its whole length, and the page is white a
  // little below it and beyond its end.
  for (double f : {0.05, 0.5, 0.95}) EXPECT_LT(page.At(int(x1 + (x2 - x1) * f), row), 128) << f;
  EXPECT_EQ(page.At(int(x1 + (x2 - x1) / 2), row + 6), 255);
  EXPECT_EQ(page.At(int(x2) + 4, row), 255);

  // The rotated text's ink spans far more height than width, upwards from its
  // baseline origin, to the left of it.
  int minX = page.Width, maxX = -1, minY = page.Height, maxY = -1;
  for (int y = 0; y < page.Height; ++y)
    for (int x = 250; x < page.Width; ++x)
      if (y > 400 && page.At(x, y) < 128) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  ASSERT_GE(maxX, 0);
  EXPECT_GT(maxY - minY, 5 * (maxX - minX));
  const double originX = 1000 * 72.0 / 254, originY = 2500 * 72.0 / 254;
  EXPECT_LE(maxX, originX + 10);  // descenders reach right of the baseline
  EXPECT_GT(minX, originX - 40);
  EXPECT_LT(maxY, originY + 36);  // the baseline lies 36 * ascent below the top
}
