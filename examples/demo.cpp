// Demonstration program: writes a document of several pages through the
// library's public interface. Usage: vellix-demo OUTPUT.pdf

#include <cstdio>
#include <string>

#include "ReportPages.h"
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
    VellixDemo::ReportPages(pdf);
    pdf.EndDoc();
    std::printf("%d pages written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "vellix-demo: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
