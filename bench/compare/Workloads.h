#pragma once
// The pages every library draws in the comparison, in PDF points on A4
// (595 x 842, origin top left, y downwards; each writer flips y itself).
// The content is generated from fixed seeds so every library gets the same.

#include <cstdint>
#include <string>
#include <vector>

namespace Compare {

constexpr int PageWidth = 595;
constexpr int PageHeight = 842;
constexpr const char* FontFile = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
constexpr const char* BoldFontFile = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";

// Report: a bold header, 60 lines of 9-point text in the left column and a
// grid of 40 rows by 5 columns with borders and cell texts in the right one.
constexpr int TextLines = 60;
constexpr int GridRows = 40;
constexpr int GridCols = 5;
constexpr int TextSize = 9;
constexpr int HeaderSize = 14;
struct TextLine {
  int X, Y;  // top-left corner
  std::string Text;
};
struct Cell {
  int X, Y, W, H;
  std::string Text;
  size_t PrefixLength = 0;  // of Text, without the page number
};

// Unicode report: the report with each text line in another script (Latin
// with diacritics, Greek, Cyrillic, Hebrew, Arabic, Devanagari, Chinese,
// Japanese, in turn), drawn in DejaVu Sans with shaping, bidirectional
// ordering, fallback fonts for what DejaVu Sans lacks, and subset fonts.
constexpr const char* UnicodeFamily = "DejaVu Sans";

// The texts of one report page. Filled again for each page in the same
// storage, without formatting functions: made afresh with snprintf and new
// strings, they took about a third of the fastest library's time.
struct ReportPage {
  std::string Header;
  std::vector<TextLine> Lines;
  std::vector<Cell> Cells;
  // Makes page aPage (from 0) of the report, or of the Unicode report.
  void Fill(int aPage, bool aUnicode = false);
};

// Shapes: 2,000 lines, 200 rectangles, 50 ellipses and 10 arcs a page.
struct Line { int X1, Y1, X2, Y2; };
struct Box { int X1, Y1, X2, Y2; };
// Filled again for each page in the same storage, like the report's texts.
struct Shapes {
  std::vector<Line> Lines;
  std::vector<Box> Rects, Ellipses, Arcs;  // arcs: the upper half of the ellipse in the box
  // Makes page aPage (from 0).
  void Fill(int aPage);
};

// Images: the same 3000 x 2000 photograph on every page, full width.
constexpr int PhotoWidth = 3000;
constexpr int PhotoHeight = 2000;
constexpr Box PhotoBox = {40, 60, 555, 403};
// Writes a photograph-like JPEG (smooth gradients with fine noise) to aPath.
void WritePhoto(const std::string& aPath);

}  // namespace Compare
