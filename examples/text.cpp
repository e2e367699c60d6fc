// Text: families, sizes, styles, colours, measuring and rotation.
// Usage: example-text OUTPUT.pdf

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

    c.Font().SetName("Times New Roman");
    c.Font().SetSize(18);
    c.Font().SetStyle({fsBold});
    c.TextOut(200, 200, "Times New Roman, bold, 18 pt");

    c.Font().SetName("Courier New");
    c.Font().SetSize(12);
    c.Font().SetStyle({fsItalic, fsUnderline});
    c.Font().SetColor(clMaroon);
    c.TextOut(200, 350, "Courier New, italic and underlined");

    // Text is 8-bit Windows-1252; convert UTF-8 literals.
    c.Font().SetName("Arial");
    c.Font().SetStyle({});
    c.Font().SetColor(clBlack);
    const std::string price = Utf8ToAnsi("Price: 12,50 €");
    c.TextOut(200, 500, price);
    // Measure to place text after it or right-align it.
    c.TextOut(1900 - c.TextWidth(price), 600, price);

    c.SetFontDegreeAngle(45);  // anticlockwise, about the baseline origin
    c.TextOut(200, 1500, "Rotated by 45 degrees");
    c.SetFontDegreeAngle(0);
    pdf.EndDoc();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
