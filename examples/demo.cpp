// Demonstration program: writes a document of several pages through the
// library's public interface. Usage: vellix-demo OUTPUT.pdf

#include <cstdio>
#include <string>

#include "Vellix.h"

using namespace Vellix;

namespace {

// A filled and outlined box in caller coordinates (tenths of a millimetre).
void Box(TPdfCanvas& aCanvas, int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight) {
  const std::string paint = aCanvas.AssignBrushAndPen(true, true);
  if (paint.empty()) return;
  std::string line;
  AppendPdfNumber(line, aCanvas.UnitToPoint(aLeft));
  line += ' ';
  AppendPdfNumber(line, aCanvas.YToPoint(aTop + aHeight));
  line += ' ';
  AppendPdfNumber(line, aCanvas.UnitToPoint(aWidth));
  line += ' ';
  AppendPdfNumber(line, aCanvas.UnitToPoint(aHeight));
  line += " re " + paint;
  aCanvas.AddLine(line);
}

void ColourPage(TVellix& aDoc) {
  TPdfCanvas& canvas = aDoc.Canvas();
  canvas.Pen().SetWidth(3);
  for (int32_t row = 0; row < 8; ++row) {
    for (int32_t col = 0; col < 6; ++col) {
      canvas.Brush().SetColor(RGB(uint8_t(col * 50), uint8_t(row * 36), uint8_t(255 - col * 40)));
      canvas.Pen().SetStyle(row % 2 == 0 ? psSolid : psDash);
      Box(canvas, 150 + col * 300, 200 + row * 320, 260, 280);
    }
  }
}

void FramePage(TVellix& aDoc) {
  TPdfCanvas& canvas = aDoc.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(clNavy);
  canvas.Pen().SetStyle(psSolid);
  for (int32_t i = 0; i < 12; ++i) {
    canvas.Pen().SetWidth(1 + i);
    Box(canvas, 100 + i * 70, 100 + i * 100, aDoc.PageWidth() - 200 - i * 140, aDoc.PageHeight() - 200 - i * 200);
  }
  canvas.Brush().SetStyle(bsSolid);
}

// Text in several families, sizes, colours, styles and angles; strings are
// written in UTF-8 here and converted to the library's code page 1252.
void TextPage(TVellix& aDoc) {
  TPdfCanvas& canvas = aDoc.Canvas();
  TFont& font = canvas.Font();
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
    const std::string text = Utf8ToAnsi(std::string(s.Family) + " " + std::to_string(s.Size) +
                                        " pt: déjà vu, 5 € (a\\b) — “quoted”");
    canvas.TextOut(150, y, text);
    // A rule as long as the measured text, right under its cell.
    canvas.Pen().SetColor(clSilver);
    canvas.Pen().SetWidth(2);
    canvas.Brush().SetStyle(bsClear);
    Box(canvas, 150, y, canvas.TextWidth(text), canvas.TextHeight(text));
    canvas.Brush().SetStyle(bsSolid);
    y += canvas.TextHeight("A") + 60;
  }

  // A fan of rotated, underlined text about one point.
  font.SetName("Arial");
  font.SetSize(14);
  font.SetStyle({fsUnderline});
  for (int32_t angle = 0; angle < 360; angle += 30) {
    font.SetColor(RGB(uint8_t(angle * 255 / 360), 64, uint8_t(255 - angle * 255 / 360)));
    canvas.SetFontDegreeAngle(angle);
    canvas.TextOut(1050, 2000, "   rotated " + std::to_string(angle));
  }
  canvas.SetFontDegreeAngle(0);
  font.SetStyle({});
  font.SetColor(clBlack);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    TVellix pdf;
    pdf.SetFileName(argv[1]);
    pdf.SetTitle("Vellix demonstration");
    pdf.SetAuthor("Merovant");
    pdf.SetSubject("What the library draws");
    pdf.SetPaperSizeName("A4");
    pdf.BeginDoc();
    ColourPage(pdf);
    pdf.NewPage();
    FramePage(pdf);
    pdf.NewPage();
    ColourPage(pdf);
    FramePage(pdf);
    pdf.NewPage();
    TextPage(pdf);
    pdf.EndDoc();
    std::printf("%d pages written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "vellix-demo: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
