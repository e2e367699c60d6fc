// Shapes with pens and brushes: the pen outlines, the brush fills.
// Usage: example-shapes OUTPUT.pdf

#include <cstdio>

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

    c.Pen().SetColor(clNavy);
    c.Pen().SetWidth(3);  // pixels at 96 per inch
    c.MoveTo(200, 200);   // tenths of a millimetre
    c.LineTo(1900, 200);

    c.Brush().SetColor(clYellow);
    c.Rectangle(200, 300, 900, 800);
    c.Brush().SetColor(clAqua);
    c.Ellipse(1000, 300, 1900, 800);
    c.RoundRect(200, 900, 900, 1400, 150, 150);
    c.Brush().SetColor(clRed);
    c.Pie(1000, 900, 1500, 1400, 1500, 1150, 1250, 900);  // a quarter, anticlockwise

    c.Pen().SetStyle(psDash);
    c.Brush().SetStyle(bsClear);  // outline only
    c.Polygon({{1600, 1400}, {1750, 900}, {1900, 1400}});
    c.Pen().SetStyle(psSolid);
    c.PolyBezier({{200, 1700}, {600, 1500}, {1400, 1900}, {1900, 1700}});
    pdf.EndDoc();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
