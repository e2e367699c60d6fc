// The geometry pages of the demonstration: paper sizes and units, pens and
// brushes, and every shape of the canvas.

#include <string>

#include "DemoPages.h"

using namespace Vellix;

namespace VellixDemo {

void PaperPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const int32_t width = aDoc.PageWidth(), height = aDoc.PageHeight();

  c.Font().SetName("Arial");
  c.Font().SetSize(20);
  c.Font().SetStyle({fsBold});
  c.TextOut(200, 150, "Vellix: a PDF document drawn like a printer page");
  c.Font().SetSize(11);
  c.Font().SetStyle({});
  c.TextOut(200, 300, "This document is " + aDoc.PaperSizeName() + ", " + std::to_string(width / 10) + " x " +
                          std::to_string(height / 10) + " mm. Coordinates are tenths of a millimetre from the");
  c.TextOut(200, 360, "top-left corner (LengthUnit luTenth); set LengthUnit to luPoint for 1/72 inch.");

  // A ruler along the top and left edges: a tick every millimetre, a longer
  // one every centimetre.
  c.Pen().SetColor(clGray);
  c.Pen().SetWidth(2);
  for (int32_t x = 0; x <= width; x += 10) {
    c.MoveTo(x, 0);
    c.LineTo(x, x % 100 == 0 ? 60 : 25);
  }
  for (int32_t y = 0; y <= height; y += 10) {
    c.MoveTo(0, y);
    c.LineTo(y % 100 == 0 ? 60 : 25, y);
  }

  // Some of the paper sizes the library knows, at a quarter of their size,
  // stacked at their common top-left corner. Set them with
  // SetPaperSizeName(name), or PageWidth/PageHeight for any other size.
  const char* const names[] = {"A3", "Legal", "A4", "Letter", "A5", "DL"};
  const TColor colours[] = {clSilver, clTeal, clNavy, clMaroon, clGreen, clPurple};
  const int32_t left = 200, top = 500;
  c.Brush().SetStyle(bsClear);
  c.Pen().SetWidth(4);
  c.Font().SetSize(9);
  int32_t label = top;
  for (int32_t i = 0; i < 6; ++i) {
    for (int32_t code = 0; code < PaperSizeCount; ++code) {
      if (std::string(PaperSizeNames[code]) != names[i]) continue;
      const TPaperSize size = PaperSizes[code];
      c.Pen().SetColor(colours[i]);
      c.Rectangle(left, top, left + size.Width / 4, top + size.Height / 4);
      c.Font().SetColor(colours[i]);
      c.TextOut(left + 1100, label, std::string(names[i]) + ": " + std::to_string(size.Width / 10) + " x " +
                                        std::to_string(size.Height / 10) + " mm");
      label += 60;
      break;
    }
  }
  c.Font().SetColor(clBlack);
  c.Brush().SetStyle(bsSolid);
}

void PensAndBrushesPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(14);
  c.Font().SetStyle({fsBold});
  c.TextOut(150, 100, "Pens and brushes");
  c.Font().SetSize(9);
  c.Font().SetStyle({});

  // Pen styles, then pen widths (in pixels at 96 per inch, like a screen pen).
  const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psInsideFrame};
  const char* const styleNames[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psInsideFrame"};
  c.Pen().SetColor(clNavy);
  c.Pen().SetWidth(1);
  for (int32_t i = 0; i < 6; ++i) {
    c.Pen().SetStyle(styles[i]);
    c.TextOut(150, 230 + i * 60, styleNames[i]);
    c.MoveTo(500, 260 + i * 60);
    c.LineTo(1950, 260 + i * 60);
  }
  c.Pen().SetStyle(psSolid);
  for (int32_t width = 1; width <= 12; ++width) {
    const int32_t y = 650 + width * 45;
    c.TextOut(150, y - 30, "Width " + std::to_string(width));
    c.MoveTo(500, y);
    c.LineTo(1950, y);
  }

  // A colour chart of filled and outlined boxes.
  c.Pen().SetWidth(2);
  c.Pen().SetColor(clBlack);
  for (int32_t row = 0; row < 5; ++row) {
    for (int32_t col = 0; col < 8; ++col) {
      c.Brush().SetColor(RGB(uint8_t(col * 36), uint8_t(row * 60), uint8_t(255 - col * 30)));
      c.Rectangle(150 + col * 225, 1300 + row * 180, 350 + col * 225, 1460 + row * 180);
    }
  }

  // Brush styles: bsClear paints no background, the others fill.
  const TBrushStyle brushes[] = {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsCross};
  const char* const brushNames[] = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsCross"};
  c.Brush().SetColor(clYellow);
  for (int32_t i = 0; i < 6; ++i) {
    c.Brush().SetStyle(brushes[i]);
    c.Rectangle(150 + i * 310, 2300, 400 + i * 310, 2550);
    c.Brush().SetStyle(bsClear);
    c.TextOut(150 + i * 310, 2580, brushNames[i]);
  }
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(clWhite);
}

void ShapesPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Pen().SetColor(clBlack);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(4);
  c.Brush().SetStyle(bsSolid);

  // Rectangles: outlined and filled, filled only, framed only.
  c.Brush().SetColor(clYellow);
  c.Rectangle(150, 150, 600, 400);
  c.Brush().SetColor(clAqua);
  c.FillRect(Rect(700, 150, 1100, 400));
  c.Brush().SetColor(clRed);
  c.FrameRect(Rect(1200, 150, 1600, 400));

  // A polyline, a polygon (its edges cross: the even-odd parts stay filled)
  // and a Bezier chain.
  c.Pen().SetColor(clNavy);
  c.Polyline({{150, 500}, {300, 700}, {450, 500}, {600, 700}, {750, 500}});
  c.Brush().SetColor(clLime);
  c.Polygon({{900, 700}, {1050, 450}, {1200, 700}, {900, 540}, {1200, 540}});
  c.PolyBezier({{1300, 700}, {1400, 400}, {1600, 900}, {1700, 500}, {1800, 300}, {1900, 800}, {1950, 600}});

  // Ellipses and a rounded rectangle.
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(RGB(255, 200, 120));
  c.Ellipse(150, 850, 750, 1250);
  c.Brush().SetStyle(bsClear);
  c.Ellipse(Rect(850, 850, 1150, 1250));
  c.Brush().SetStyle(bsSolid);
  c.Brush().SetColor(RGB(180, 200, 255));
  c.RoundRect(1250, 850, 1950, 1250, 120, 80);

  // An arc, a chord and four pie wedges. The angles are given by two points:
  // the curve runs anticlockwise from the ray through the first to the ray
  // through the second.
  c.Pen().SetColor(clMaroon);
  c.Pen().SetWidth(8);
  c.Arc(150, 1400, 750, 2000, 750, 1700, 150, 1700);
  c.Pen().SetWidth(4);
  c.Brush().SetColor(clSkyBlue);
  c.Chord(850, 1400, 1450, 2000, 1450, 1500, 850, 1900);
  const TColor wedges[] = {clRed, clYellow, clLime, clBlue};
  const int32_t cx = 1700, cy = 1700;
  const TPoint ends[] = {{cx + 300, cy}, {cx, cy - 300}, {cx - 300, cy}, {cx, cy + 300}};
  for (int32_t i = 0; i < 4; ++i) {
    c.Brush().SetColor(wedges[i]);
    c.Pie(1500, 1500, 1900, 1900, ends[i].X, ends[i].Y, ends[(i + 1) % 4].X, ends[(i + 1) % 4].Y);
  }

  // A Bezier chain that leaves the current position at its end, continued
  // with lines from there.
  c.Pen().SetColor(clPurple);
  c.PolyBezierTo({{150, 2300}, {400, 2100}, {600, 2500}, {850, 2300}});
  c.LineTo(1100, 2600);
  c.LineTo(150, 2600);
  c.Brush().SetColor(clWhite);
}

}  // namespace VellixDemo
