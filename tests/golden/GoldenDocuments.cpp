#include "golden/GoldenDocuments.h"

#include <cmath>

using namespace Vellix;

namespace VellixTest {
namespace {

// Custom page in points; every pen style, brush style and curved shape, with
// coordinates that exercise rounding, negative and off-page values.
void DrawShapes(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const TPenStyle pens[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame};
  const TBrushStyle brushes[] = {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
  for (int i = 0; i < 7; ++i) {
    c.Pen().SetStyle(pens[i]);
    c.Pen().SetWidth(i);
    c.Pen().SetColor(TColor(0x102030 * (i + 1)));
    c.Brush().SetStyle(brushes[i]);
    c.Brush().SetColor(TColor(0x0F0F0F * (7 - i)));
    c.Rectangle(20 + i * 70, 20, 80 + i * 70, 60 + i);
    c.Ellipse(20 + i * 70, 80, 83 + i * 70, 121);
    c.RoundRect(20 + i * 70, 140, 85 + i * 70, 190, 13 + i, 9);
  }
  c.Pen().SetStyle(psSolid);
  c.Brush().SetStyle(bsDiagCross);
  c.Brush().SetColor(clBtnFace);
  c.Arc(20, 220, 170, 330, 170, 220, 20, 330);
  c.Chord(190, 220, 340, 330, 20, 20, 400, 400);
  c.Pie(360, 220, 510, 330, 510, 275, 435, 220);
  c.Pie(-40, 350, 120, 470, 0, 0, 0, 0);
  c.MoveTo(10, 500);
  c.LineTo(595, 480);
  c.LineTo(-5, 520);
  c.Polyline({{10, 540}, {50, 600}, {90, 540}, {130, 600}});
  c.Polygon({{200, 540}, {260, 620}, {320, 540}, {230, 600}, {290, 600}});
  c.PolyBezier({{350, 540}, {380, 480}, {420, 660}, {450, 560}, {470, 520}, {500, 640}, {560, 560}});
  c.MoveTo(20, 700);
  c.PolyBezierTo({{20, 700}, {60, 640}, {120, 760}, {160, 700}});
  c.Pen().SetWidth(3);
  c.FrameRect({400, 680, 560, 760});
  c.Brush().SetColor(clYellow);
  c.FillRect({410, 690, 550, 750});
  aDoc.NewPage();
  // A second page with a tiny and an enormous ellipse.
  c.Ellipse(100, 100, 102, 101);
  c.Brush().SetStyle(bsClear);
  c.Ellipse(-100000, -100000, 100000, 100000);
}

// Text in three families and four styles, rotated, underlined, escaped,
// measured, truncated and boxed in every alignment.
void DrawText(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const char* families[] = {"Arial", "Times New Roman", "Courier New"};
  int32_t y = 150;
  for (const char* family : families) {
    c.Font().SetName(family);
    c.Font().SetSize(11);
    c.Font().SetStyle({});
    c.TextOut(150, y, std::string(family) + ": (parentheses) \\backslash\\ and \xE9t\xE9 \x80 10 \xB0" "C");
    c.Font().SetStyle({fsBold});
    c.TextOut(150, y + 60, "Bold " + std::to_string(c.TextWidth("Bold")));
    c.Font().SetStyle({fsItalic, fsUnderline});
    c.TextOut(700, y + 60, "Italic underlined");
    c.Font().SetStyle({fsBold, fsItalic, fsStrikeOut});
    c.TextOut(1300, y + 60, "Bold italic struck");
    y += 160;
  }
  c.Font().SetName("Arial");
  c.Font().SetStyle({fsUnderline});
  c.Font().SetColor(clNavy);
  for (int angle = 0; angle < 360; angle += 45) {
    c.SetFontDegreeAngle(angle);
    c.TextOut(1000, 1200, "  rotated " + std::to_string(angle));
  }
  c.SetFontDegreeAngle(0);
  c.Font().SetStyle({});
  c.Font().SetColor(clBlack);
  std::string truncated = "A line that is far too long for the width it is given on the page";
  c.TruncateText(truncated, 600);
  c.TextOut(150, 1700, truncated);
  const TAlignment horizontal[] = {taLeftJustify, taCenter, taRightJustify};
  const TVertAlignment vertical[] = {vaTop, vaCenter, vaBottom};
  const std::string text =
      "Wrapped text in a box: the words break at blanks and hyphens, a very-long-word-without-blanks is cut,\r\n"
      "and a line break starts a new line.";
  for (int h = 0; h < 3; ++h)
    for (int v = 0; v < 3; ++v) {
      const int32_t x = 150 + h * 620, top = 1900 + v * 330;
      c.Brush().SetStyle(bsClear);
      c.Rectangle(x, top, x + 580, top + 300);
      c.DrawText(x, top, x + 580, top + 300, horizontal[h], vertical[v], text);
    }
}

// A grid with every column alignment, multi-line and single-line cells, and
// rows on two pages.
void DrawGrid(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Times New Roman");
  c.Font().SetSize(10);
  c.DefineGrid("Golden", taCenter, 15);
  c.DefineCol("Golden", 300, taLeftJustify, vaTop, false);
  c.DefineCol("Golden", 700, taCenter, vaCenter, true);
  c.DefineCol("Golden", 400, taRightJustify, vaBottom, true);
  for (int page = 0; page < 2; ++page) {
    if (page > 0) aDoc.NewPage();
    c.DrawGrid("Golden", 200, 300);
    for (int row = 0; row < 6; ++row) {
      c.DrawRow("Golden", 120 + 40 * (row % 3));
      c.TextToCell("Golden", 0, row, "Row " + std::to_string(row + 1) + " of page " + std::to_string(page + 1));
      c.TextToCell("Golden", 1, row, std::string(size_t(10 + 15 * row), 'w') + " a description that wraps over lines");
      c.TextToCell("Golden", 2, row, std::to_string(1234 * (row + 1)) + ".50");
    }
  }
}

// Pictures in every placement: Draw, StretchDraw (mirrored too) and CopyRect.
void DrawImages(TVellix& aDoc) {
  TBitmap bitmap(40, 24);
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 40; ++x) bitmap.Canvas().SetPixel(x, y, TColor((x * 6) | (y * 10) << 8 | ((x ^ y) * 8) << 16));
  TPdfCanvas& c = aDoc.Canvas();
  c.Draw(100, 100, &bitmap);
  c.StretchDraw({100, 300, 900, 700}, &bitmap);
  c.StretchDraw({1900, 300, 1100, 700}, &bitmap);
  c.CopyRect({100, 800, 500, 1000}, bitmap.Canvas(), {10, 4, 30, 20});
}

void EmbedMono(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Liberation Mono");
  c.Font().SetSize(12);
  c.TextOut(200, 200, "An embedded TrueType program");
  c.Font().SetName("Arial");  // listed in NonEmbeddedFonts: not embedded
  c.TextOut(200, 300, "and a font that is only named");
}

}  // namespace

const std::vector<TGoldenDocument>& GoldenDocuments() {
  static const std::vector<TGoldenDocument> documents = {
      {"own-shapes-points",
       [](TVellix& d) {
         d.SetLengthUnit(luPoint);
         d.SetPageWidth(595);
         d.SetPageHeight(800);
       },
       DrawShapes},
      {"own-text", {}, DrawText},
      {"own-grid-landscape", [](TVellix& d) { d.SetOrientation(poLandscape); }, DrawGrid},
      {"own-images-none", [](TVellix& d) { d.SetImageCompressMode(cpNone); }, DrawImages},
      {"own-images-zlib", [](TVellix& d) { d.SetImageCompressMode(cpZlib); }, DrawImages},
      {"own-images-jpeg", [](TVellix& d) { d.SetImageCompressMode(cpJpeg); }, DrawImages},
      {"own-embedded-font",
       [](TVellix& d) {
         d.SetEmbedFonts(true);
         d.SetTitle("Embedded (font) \\ test");
         d.SetAuthor("Golden");
       },
       EmbedMono},
  };
  return documents;
}

}  // namespace VellixTest
