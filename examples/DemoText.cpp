// The text page of the demonstration.

#include <string>

#include "DemoPages.h"

using namespace Vellix;

namespace VellixDemo {

// Text in several families, sizes, colours, styles and angles. Strings are
// written in UTF-8 here and converted to the library's code page (Windows
// 1252) with Utf8ToAnsi.
void TextPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  TFont& font = c.Font();
  struct TSample {
    const char* Family;
    int32_t Size;
    TFontStyles Style;
    TColor Color;
  };
  const TSample samples[] = {
      {"Arial", 10, {}, clBlack},
      {"Arial", 14, {fsBold}, clNavy},
      {"Times New Roman", 12, {fsItalic}, clMaroon},
      {"Times New Roman", 20, {fsBold}, clRed},
      {"Courier New", 11, {fsUnderline}, clGreen},
      {"Courier New", 16, {fsBold, fsItalic}, clPurple},
  };
  int32_t y = 150;
  for (const TSample& s : samples) {
    font.SetName(s.Family);
    font.SetSize(s.Size);
    font.SetStyle(s.Style);
    font.SetColor(s.Color);
    const std::string text =
        Utf8ToAnsi(std::string(s.Family) + " " + std::to_string(s.Size) + " pt: déjà vu, 5 € (a\\b) — “quoted”");
    c.TextOut(150, y, text);
    // A frame around the measured extent of the text.
    c.Pen().SetColor(clSilver);
    c.Pen().SetWidth(2);
    c.Brush().SetStyle(bsClear);
    const TSize extent = c.TextExtent(text);
    c.Rectangle(150, y, 150 + extent.cx, y + extent.cy);
    c.Brush().SetStyle(bsSolid);
    y += extent.cy + 60;
  }

  // A long line cut at the end until it fits a width of 90 mm.
  font.SetName("Arial");
  font.SetSize(10);
  font.SetStyle({});
  font.SetColor(clBlack);
  std::string longLine = "TruncateText shortens a line that is too long for its column so that it fits";
  c.TruncateText(longLine, 900);
  c.TextOut(150, y, longLine);

  // A fan of rotated, underlined text about one point.
  font.SetSize(14);
  font.SetStyle({fsUnderline});
  for (int32_t angle = 0; angle < 360; angle += 30) {
    font.SetColor(RGB(uint8_t(angle * 255 / 360), 64, uint8_t(255 - angle * 255 / 360)));
    c.SetFontDegreeAngle(angle);
    c.TextOut(1050, 2100, "   rotated " + std::to_string(angle));
  }
  c.SetFontDegreeAngle(0);
  font.SetStyle({});
  font.SetColor(clBlack);
}

}  // namespace VellixDemo
