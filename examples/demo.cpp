// Demonstration program: writes a document of several pages through the
// library's public interface. Usage: vellix-demo OUTPUT.pdf

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
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

// Every shape of the canvas on one page (tenths of a millimetre).
void ShapesPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Pen().SetColor(clBlack);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(4);
  c.Brush().SetStyle(bsSolid);

  // Lines from the current position, with every pen style.
  const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psInsideFrame};
  for (int32_t i = 0; i < 6; ++i) {
    c.Pen().SetStyle(styles[i]);
    c.MoveTo(150, 150 + i * 40);
    c.LineTo(950, 150 + i * 40);
  }
  c.Pen().SetStyle(psSolid);

  // Rectangles: outlined and filled, filled only, framed only.
  c.Brush().SetColor(clYellow);
  c.Rectangle(1100, 150, 1400, 350);
  c.Brush().SetColor(clAqua);
  c.FillRect(Rect(1450, 150, 1700, 350));
  c.Brush().SetColor(clRed);
  c.FrameRect(Rect(1750, 150, 1950, 350));

  // A polyline, a polygon and a Bezier chain.
  c.Pen().SetColor(clNavy);
  c.Polyline({{150, 500}, {300, 700}, {450, 500}, {600, 700}, {750, 500}});
  c.Brush().SetColor(clLime);
  c.Polygon({{900, 700}, {1050, 450}, {1200, 700}, {900, 540}, {1200, 540}});
  c.PolyBezier({{1300, 700}, {1400, 400}, {1600, 900}, {1700, 500}, {1800, 300}, {1900, 800}, {1950, 600}});

  // Ellipses and rounded rectangles.
  c.Pen().SetColor(clBlack);
  c.Brush().SetColor(RGB(255, 200, 120));
  c.Ellipse(150, 850, 750, 1250);
  c.Brush().SetStyle(bsClear);
  c.Ellipse(Rect(850, 850, 1150, 1250));
  c.Brush().SetStyle(bsDiagCross);  // hatches fill solid
  c.Brush().SetColor(RGB(180, 200, 255));
  c.RoundRect(1250, 850, 1950, 1250, 120, 80);
  c.Brush().SetStyle(bsSolid);

  // An arc, a chord and pie wedges sharing one circle's worth of angles.
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

  // A Bezier chain continued with lines from where it ends.
  c.Pen().SetColor(clPurple);
  c.PolyBezierTo({{150, 2300}, {400, 2100}, {600, 2500}, {850, 2300}});
  c.LineTo(1100, 2600);
  c.LineTo(150, 2600);
}


// Pictures made here (nothing is read from disk): a photograph-like picture
// that goes through a JPEG file in memory, a drawing that goes through a PNG
// file, a region of the drawing copied with CopyRect, and the drawing at its
// natural size (96 pixels per inch).
std::unique_ptr<TBitmap> MakePhotograph(int32_t aWidth, int32_t aHeight) {
  auto bmp = std::make_unique<TBitmap>(aWidth, aHeight);
  for (int32_t y = 0; y < aHeight; ++y) {
    uint8_t* p = bmp->ScanLine(y);
    const double v = double(y) / aHeight;
    for (int32_t x = 0; x < aWidth; ++x, p += 3) {
      const double u = double(x) / aWidth;
      const double sun = std::exp(-((u - 0.72) * (u - 0.72) + (v - 0.28) * (v - 0.28)) * 30);
      const double hill = std::clamp((v - 0.62 - 0.08 * std::sin(u * 11)) * 30, 0.0, 1.0);
      const double rgb[3] = {70 + 110 * v * (1 - hill) + 30 * hill + 170 * sun,
                             120 + 60 * (1 - v) + 70 * hill * (1.2 - v) + 120 * sun,
                             220 - 100 * v - 170 * hill + 10 * sun};
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::lround(std::clamp(rgb[c], 0.0, 255.0)));
    }
  }
  return bmp;
}

std::unique_ptr<TBitmap> MakeDrawing() {
  auto bmp = std::make_unique<TBitmap>(192, 144);
  TBitmapCanvas& c = bmp->Canvas();
  const TColor colours[] = {clRed, clYellow, clLime, clAqua, clBlue, clFuchsia};
  for (int32_t i = 0; i < 6; ++i) {
    c.Brush().SetColor(colours[i]);
    c.FillRect(Rect(8 + i * 30, 8 + i * 12, 38 + i * 30, 80 + i * 8));
  }
  for (int32_t x = 0; x < 192; ++x) {  // a sine wave and a frame, pixel by pixel
    c.SetPixel(x, 110 + int32_t(std::lround(20 * std::sin(x / 15.0))), clNavy);
    c.SetPixel(x, 0, clBlack);
    c.SetPixel(x, 143, clBlack);
  }
  for (int32_t y = 0; y < 144; ++y) c.SetPixel(0, y, clBlack), c.SetPixel(191, y, clBlack);
  return bmp;
}

void ImagesPage(TVellix& aDoc) {
  TPdfCanvas& canvas = aDoc.Canvas();
  canvas.Font().SetName("Arial");
  canvas.Font().SetSize(12);
  canvas.Font().SetStyle({});
  canvas.Font().SetColor(clBlack);

  TJPEGImage photo;
  {
    TMemoryStream file;
    TJPEGImage encoder;
    encoder.Assign(*MakePhotograph(681, 490));
    encoder.SaveToStream(file);
    file.SetPosition(0);
    photo.LoadFromStream(file);
  }
  canvas.TextOut(150, 120, "A photograph from a JPEG file, scaled into a rectangle");
  canvas.StretchDraw(Rect(150, 200, 1350, 1064), &photo);

  TPngImage drawing;
  {
    TMemoryStream file;
    TPngImage encoder;
    encoder.Assign(*MakeDrawing());
    encoder.SaveToStream(file);
    file.SetPosition(0);
    drawing.LoadFromStream(file);
  }
  canvas.TextOut(150, 1150, "A drawing from a PNG file at its natural size, and enlarged");
  canvas.Draw(150, 1230, &drawing);
  canvas.StretchDraw(Rect(800, 1230, 1950, 2092), &drawing);

  TBitmap sheet;
  sheet.Assign(drawing);
  canvas.TextOut(150, 2200, "Regions of the drawing copied with CopyRect, one mirrored");
  canvas.CopyRect(Rect(150, 2280, 750, 2780), sheet.Canvas(), Rect(8, 8, 98, 83));
  canvas.CopyRect(Rect(850, 2280, 1450, 2780), sheet.Canvas(), Rect(98, 8, 8, 83));
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
    ShapesPage(pdf);
    pdf.NewPage();
    TextPage(pdf);
    pdf.NewPage();
    ImagesPage(pdf);
    pdf.EndDoc();
    std::printf("%d pages written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "vellix-demo: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
