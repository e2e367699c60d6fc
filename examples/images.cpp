// Images: a bitmap made in code, drawn stretched and at its natural size.
// Usage: example-images OUTPUT.pdf

#include <cstdio>

#include "Vellix.h"

using namespace Vellix;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    // A 64 x 64 pixel chequerboard in two colours.
    TBitmap bitmap(64, 64);
    for (int32_t y = 0; y < 64; ++y)
      for (int32_t x = 0; x < 64; ++x)
        bitmap.Canvas().SetPixel(x, y, (x / 8 + y / 8) % 2 == 0 ? clNavy : clYellow);

    TVellix pdf;
    pdf.SetFileName(argv[1]);
    // cpJpeg (the default) suits photographs; cpZlib keeps every pixel;
    // cpNone writes the samples as they are. Set it before BeginDoc.
    pdf.SetImageCompressMode(cpZlib);
    pdf.BeginDoc();
    TPdfCanvas& c = pdf.Canvas();
    c.StretchDraw(Rect(200, 200, 1000, 1000), &bitmap);  // 80 x 80 mm
    c.Draw(1200, 200, &bitmap);                          // 64 pixels at 96 per inch
    // Part of the picture (its top-left quarter), enlarged.
    c.CopyRect(Rect(1200, 600, 1600, 1000), bitmap.Canvas(), Rect(0, 0, 32, 32));
    pdf.EndDoc();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
