// Text boxes and grids: a paragraph wrapped into a box, then a table.
// Usage: example-grid OUTPUT.pdf

#include <cstdio>
#include <string>

#include "Vellix.h"

using namespace Vellix;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    TVellix pdf;
    pdf.SetFileName(argv[1]);
    pdf.BeginDoc();
    TPdfCanvas& c = pdf.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(11);

    // A paragraph between x = 20 mm and 190 mm, from y = 20 mm down; the
    // bottom 0 stands for the page's bottom. TextY ends below the last line.
    c.SetTextY(200);
    c.DrawText(200, 0, 1900, 0, taLeftJustify, vaTop,
               "DrawText breaks lines at blanks and punctuation so that they fit the box, aligns them, and "
               "leaves TextY below the last line, so that the next box given a top of 0 continues there.");

    // A centred table: the pen and brush in force when a column is defined
    // draw its left border and fill its cells; the width-0 column closes it.
    c.Pen().SetColor(clNavy);
    c.Brush().SetColor(RGB(230, 238, 250));
    c.DefineGrid("Planets", taCenter, 15);
    c.DefineCol("Planets", 400, taLeftJustify, vaCenter, false);
    c.DefineCol("Planets", 300, taRightJustify, vaCenter, false);
    c.DefineCol("Planets", 700, taLeftJustify, vaTop, true);  // wraps
    c.DefineCol("Planets", 0, taLeftJustify, vaTop, false);
    c.DrawGrid("Planets", 0, c.TextY() + 100);

    const char* const rows[][3] = {{"Planet", "Moons", "Note"},
                                   {"Mercury", "0", "Closest to the sun"},
                                   {"Earth", "1", "The one with the printers"},
                                   {"Jupiter", "95", "The largest planet; a longer note wraps inside its cell"}};
    for (int32_t row = 0; row < 4; ++row) {
      c.DrawRow("Planets", row == 3 ? 130 : 70);  // text that does not fit a cell is cut
      c.Font().SetStyle(row == 0 ? TFontStyles{fsBold} : TFontStyles{});
      for (int32_t col = 0; col < 3; ++col) c.TextToCell("Planets", col, row, rows[row][col]);
    }
    c.DrawRow("Planets", 0);  // a row of height 0 draws the bottom border
    pdf.EndDoc();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
