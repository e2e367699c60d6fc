#include "ReportPages.h"

#include <string>

#include <vellix/Grid.h>

using namespace Vellix;

namespace VellixDemo {

namespace {

constexpr int32_t Left = 200, Right = 1900, Top = 200, Bottom = 2770;

const char* const Paragraphs[] = {
    "Text boxes lay a block of text out inside a rectangle of the page. Lines end at explicit line ends "
    "and, where a line is too wide, after the last blank or punctuation mark that still fits: a blank, "
    "a hyphen or a slash stays on the upper line, and a word wider than the box is cut where it stops "
    "fitting.",
    "Each call leaves the running text position TextY below its last line, so that the next paragraph, "
    "given with a top of 0, continues directly below it. When a box is full, the call tells how many "
    "characters were left over; the report then begins a new page and goes on with the rest.",
    "Right-aligned text keeps its trailing blanks,\r\ncentred text is rounded to the nearest unit,\r\n"
    "and explicit line ends (CR LF, CR or LF) always start a new line.",
};

// Writes aText from TextY down, continuing on new pages while text is left.
void Flow(TVellix& aDoc, const std::string& aText, TAlignment aAlignment) {
  TPdfCanvas& c = aDoc.Canvas();
  std::string rest = aText;
  while (!rest.empty()) {
    const int32_t left = c.DrawText(Left, 0, Right, Bottom, aAlignment, vaTop, rest);
    rest = rest.substr(rest.size() - size_t(left));
    if (!rest.empty()) {
      aDoc.NewPage();
      c.SetTextY(Top);
    }
  }
  c.SetTextY(c.TextY() + 40);  // paragraph spacing
}

void DefinePriceGrid(TPdfCanvas& c, TColor aBackground) {
  c.Pen().SetColor(clNavy);
  c.Pen().SetStyle(psSolid);
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(aBackground);
  c.DefineGrid("Prices", taCenter, 12);
  c.Pen().SetWidth(5);
  c.DefineCol("Prices", 200, taRightJustify, vaCenter, false);
  c.Pen().SetWidth(2);
  c.DefineCol("Prices", 450, taLeftJustify, vaCenter, false);
  c.DefineCol("Prices", 700, taLeftJustify, vaTop, true);
  c.DefineCol("Prices", 250, taRightJustify, vaCenter, false);
  c.Pen().SetWidth(5);
  c.DefineCol("Prices", 0, taLeftJustify, vaTop, false);
}

// The header row at aTop; data rows follow on the same grid.
void Header(TVellix& aDoc, int32_t aTop) {
  TPdfCanvas& c = aDoc.Canvas();
  DefinePriceGrid(c, RGB(210, 225, 245));
  c.DrawGrid("Prices", 0, aTop);
  c.DrawRow("Prices", 70);
  c.Font().SetStyle({fsBold});
  const char* const titles[] = {"No.", "Article", "Description", "Price"};
  for (int32_t col = 0; col < 4; ++col) c.TextToCell("Prices", col, 0, titles[col]);
  c.Font().SetStyle({});
  DefinePriceGrid(c, clWhite);
  c.DrawGrid("Prices", 0, c.GridByName("Prices").NextRowTop());
}

}  // namespace

void ReportPages(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const TPen pen = c.Pen();
  const TBrush brush = c.Brush();
  c.Font().SetName("Arial");
  c.Font().SetColor(clBlack);
  c.SetFontAngle(0);

  c.SetTextY(Top);
  c.Font().SetSize(16);
  c.Font().SetStyle({fsBold});
  c.DrawText(Left, 0, Right, 0, taCenter, vaTop, "Report");
  c.SetTextY(c.TextY() + 40);
  c.Font().SetSize(11);
  c.Font().SetStyle({});
  for (int repeat = 0; repeat < 6; ++repeat)
    for (const char* p : Paragraphs) Flow(aDoc, p, repeat % 3 == 1 ? taRightJustify : taLeftJustify);

  // A table of 90 articles: rows go on until the page is full, then a new
  // page repeats the header.
  c.Font().SetSize(10);
  if (c.TextY() + 300 > Bottom) {
    aDoc.NewPage();
    c.SetTextY(Top);
  }
  Header(aDoc, c.TextY() + 20);
  for (int32_t i = 1; i <= 90; ++i) {
    const int32_t height = i % 7 == 0 ? 130 : 70;
    if (c.GridByName("Prices").NextRowTop() + height > Bottom) {
      c.DrawRow("Prices", 0);  // bottom border of the page's part
      aDoc.NewPage();
      Header(aDoc, Top);
    }
    c.DrawRow("Prices", height);
    const int32_t row = int32_t(c.GridByName("Prices").RowDefs().size()) - 1;
    c.TextToCell("Prices", 0, row, std::to_string(i));
    c.TextToCell("Prices", 1, row, "Article " + std::to_string(i * 37 % 1000));
    c.TextToCell("Prices", 2, row,
                 i % 7 == 0 ? "A longer description that wraps inside its cell over two or three lines."
                            : "Standard item");
    c.TextToCell("Prices", 3, row, std::to_string(i * 13 % 200) + "." + std::to_string(10 + i % 90));
  }
  c.DrawRow("Prices", 0);
  c.Pen() = pen;
  c.Brush() = brush;
}

}  // namespace VellixDemo
