// Grids and text boxes through independent readers: the text of a grid page
// in its rows and columns, the colours of its backgrounds and borders when
// rendered, and a clean bill from qpdf, poppler and the content checker.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "GridTestSupport.h"
#include "support/ContentChecker.h"
#include "support/Readers.h"

using namespace Vellix;
using namespace GridTest;

namespace {

struct TRgb {
  int R, G, B;
};

// A binary PPM (P6, maxval 255) as pdftoppm writes it.
struct TImage {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Pixels;
  TRgb At(int x, int y) const {
    const size_t i = (size_t(y) * size_t(Width) + size_t(x)) * 3;
    return {Pixels[i], Pixels[i + 1], Pixels[i + 2]};
  }
};

TImage ReadPpm(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::string magic;
  int maxval = 0;
  TImage img;
  in >> magic >> img.Width >> img.Height >> maxval;
  in.get();
  img.Pixels.resize(size_t(img.Width) * size_t(img.Height) * 3);
  in.read(reinterpret_cast<char*>(img.Pixels.data()), std::streamsize(img.Pixels.size()));
  return img;
}

std::vector<std::string> SplitLines(const std::string& aText) {
  std::vector<std::string> lines;
  std::istringstream in(aText);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Index of the first line holding all of aCells, left to right; -1 if none.
int RowWith(const std::vector<std::string>& aLines, const std::vector<std::string>& aCells) {
  for (size_t i = 0; i < aLines.size(); ++i) {
    size_t from = 0;
    bool all = true;
    for (const std::string& cell : aCells) {
      const size_t at = aLines[i].find(cell, from);
      if (at == std::string::npos) { all = false; break; }
      from = at + cell.size();
    }
    if (all) return int(i);
  }
  return -1;
}

class GridReaders : public ::testing::Test {
protected:
  std::filesystem::path Dir;
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() /
          ("vellix-grids-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
};

const std::vector<std::vector<std::string>> Fruit = {
    {"Apples", "12", "Red"}, {"Bananas", "7", "Yellow"}, {"Cherries", "250", "Crimson"}, {"Dates", "31", "Brown"}};

// A price list: a header row on a yellow background, then the rows of Fruit,
// with blue borders of 5 tenths and a zero-width column for the right border.
void DrawFruitGrid(TPdfCanvas& c, int32_t aTop) {
  c.DefineGrid("Fruit", taLeftJustify, 15);
  c.Pen().SetColor(clBlue);
  c.Pen().SetWidth(5);
  c.Brush().SetColor(clYellow);
  c.DefineCol("Fruit", 600, taLeftJustify, vaCenter, false);
  c.DefineCol("Fruit", 300, taRightJustify, vaCenter, false);
  c.DefineCol("Fruit", 500, taCenter, vaCenter, false);
  c.DefineCol("Fruit", 0, taLeftJustify, vaTop, false);
  c.DrawGrid("Fruit", 200, aTop);
  c.DrawRow("Fruit", 80);
  c.TextToCell("Fruit", 0, 0, "Fruit");
  c.TextToCell("Fruit", 1, 0, "Count");
  c.TextToCell("Fruit", 2, 0, "Colour");
  c.Brush().SetColor(clWhite);
  c.DefineGrid("Fruit", taLeftJustify, 15);
  c.DefineCol("Fruit", 600, taLeftJustify, vaCenter, false);
  c.DefineCol("Fruit", 300, taRightJustify, vaCenter, false);
  c.DefineCol("Fruit", 500, taCenter, vaCenter, false);
  c.DefineCol("Fruit", 0, taLeftJustify, vaTop, false);
  // New columns are placed by DrawGrid: continue below the header.
  c.DrawGrid("Fruit", 200, c.GridByName("Fruit").NextRowTop());
  for (size_t r = 0; r < Fruit.size(); ++r) {
    c.DrawRow("Fruit", 80);
    for (int32_t col = 0; col < 3; ++col) c.TextToCell("Fruit", col, int32_t(r), Fruit[r][size_t(col)]);
  }
  c.DrawRow("Fruit", 0);  // the bottom border
}

}  // namespace

TEST_F(GridReaders, TextOfAGridPageComesOutInItsRowsAndColumns) {
  const std::string pdf = (Dir / "grid.pdf").string();
  TVellix doc;
  doc.SetFileName(pdf);
  doc.BeginDoc();
  doc.Canvas().Font().SetName("Arial");
  doc.Canvas().Font().SetSize(11);
  DrawFruitGrid(doc.Canvas(), 300);
  doc.EndDoc();

  EXPECT_EQ(VellixTest::ReadersComplaints(pdf), "");
  EXPECT_EQ(VellixTest::CheckPdfContents(pdf), std::vector<std::string>{});
  const VellixTest::TRunResult text = VellixTest::PdfToText(pdf, {"-layout"});
  ASSERT_EQ(text.Status, 0) << text.Err;
  const std::vector<std::string> lines = SplitLines(text.Out);
  int previous = RowWith(lines, {"Fruit", "Count", "Colour"});
  ASSERT_GE(previous, 0) << text.Out;
  for (const auto& row : Fruit) {
    const int at = RowWith(lines, row);
    ASSERT_GT(at, previous) << row[0] << "\n" << text.Out;
    previous = at;
  }
}

TEST_F(GridReaders, RenderedGridHasItsBackgroundsAndBordersWhereExpected) {
  const std::string pdf = (Dir / "grid.pdf").string();
  TVellix doc;
  doc.SetFileName(pdf);
  doc.BeginDoc();
  doc.Canvas().Font().SetSize(11);
  DrawFruitGrid(doc.Canvas(), 300);
  doc.EndDoc();
  ASSERT_EQ(VellixTest::ReadersComplaints(pdf), "");

  // 254 dots per inch: one pixel per tenth of a millimetre.
  const auto run = VellixTest::PdfToPpm(pdf, {"-r", "254"}, (Dir / "page").string());
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::string ppm;
  for (const auto& e : std::filesystem::directory_iterator(Dir))
    if (e.path().extension() == ".ppm") ppm = e.path().string();
  ASSERT_FALSE(ppm.empty());
  const TImage page = ReadPpm(ppm);
  ASSERT_GE(page.Width, 2100);  // 595.276 points round up to 2101
  ASSERT_GE(page.Height, 2970);
  auto isYellow = [](TRgb p) { return p.R > 240 && p.G > 240 && p.B < 20; };
  auto isWhite = [](TRgb p) { return p.R > 240 && p.G > 240 && p.B > 240; };
  auto isBlue = [](TRgb p) { return p.R < 60 && p.G < 60 && p.B > 200; };
  // Header background (row 300..380), away from text and borders.
  EXPECT_TRUE(isYellow(page.At(780, 310)));
  EXPECT_TRUE(isYellow(page.At(1080, 370)));
  // Data rows are white inside, the page outside the grid too.
  EXPECT_TRUE(isWhite(page.At(780, 395)));
  EXPECT_TRUE(isWhite(page.At(100, 340)));
  // Left borders at 200, 800, 1100 and the right border at 1600, inside rows.
  for (int x : {200, 800, 1100, 1600}) {
    EXPECT_TRUE(isBlue(page.At(x, 340))) << x;
    EXPECT_TRUE(isBlue(page.At(x, 620))) << x;
  }
  // Top border of the header, of a data row, and the bottom border at 700.
  for (int y : {300, 460, 700}) EXPECT_TRUE(isBlue(page.At(1300, y))) << y;
  // Nothing below the grid.
  EXPECT_TRUE(isWhite(page.At(1300, 720)));
}

TEST_F(GridReaders, AReportOverSeveralPagesPassesTheReaders) {
  const std::string pdf = (Dir / "report.pdf").string();
  TVellix doc;
  doc.SetFileName(pdf);
  doc.BeginDoc();
  TPdfCanvas& c = doc.Canvas();
  c.Font().SetSize(10);
  std::string paragraph;
  for (int i = 0; i < 60; ++i) paragraph += "Flowing (text) with a backslash \\ and breaks, line " + std::to_string(i) + ". ";
  c.SetTextY(200);
  int32_t left = c.DrawText(200, 0, 1900, 2800, taLeftJustify, vaTop, paragraph);
  while (left > 0) {
    doc.NewPage();
    c.SetTextY(200);
    left = c.DrawText(200, 0, 1900, 2800, taLeftJustify, vaTop, paragraph.substr(paragraph.size() - size_t(left)));
  }
  c.DefineGrid("Long", taCenter, 10);
  c.DefineCol("Long", 400, taLeftJustify, vaTop, false);
  c.DefineCol("Long", 1200, taLeftJustify, vaTop, true);
  c.DefineCol("Long", 0, taLeftJustify, vaTop, false);
  c.DrawGrid("Long", 0, c.TextY() + 50);
  for (int r = 0; r < 120; ++r) {
    if (c.GridByName("Long").NextRowTop() + 100 > 2800) {
      doc.NewPage();
      c.DrawGrid("Long", 0, 200);
    }
    c.DrawRow("Long", 100);
    const int32_t row = int32_t(c.GridByName("Long").RowDefs().size()) - 1;
    c.TextToCell("Long", 0, row, "Row " + std::to_string(r));
    c.TextToCell("Long", 1, row, "A description that is long enough to wrap onto a second line of the cell.");
  }
  const int32_t pages = doc.PageNumber();
  doc.EndDoc();
  EXPECT_GE(pages, 4);
  EXPECT_EQ(VellixTest::ReadersComplaints(pdf), "");
  EXPECT_EQ(VellixTest::CheckPdfContents(pdf), std::vector<std::string>{});
  const auto text = VellixTest::PdfToText(pdf, {"-layout"});
  EXPECT_NE(text.Out.find("Row 119"), std::string::npos);
  EXPECT_NE(text.Out.find("backslash \\ and breaks, line 59."), std::string::npos);
}
