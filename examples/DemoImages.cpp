// The images page of the demonstration. Every picture is generated here, so
// the program needs no files.

#include <cmath>
#include <string>

#include "DemoPages.h"

using namespace Vellix;

namespace VellixDemo {

void MakePicture(TBitmap& aBitmap, int32_t aWidth, int32_t aHeight) {
  aBitmap.SetSize(aWidth, aHeight);
  for (int32_t y = 0; y < aHeight; ++y) {
    uint8_t* row = aBitmap.ScanLine(y);
    for (int32_t x = 0; x < aWidth; ++x) {
      row[x * 3 + 0] = uint8_t(x * 255 / aWidth);
      row[x * 3 + 1] = uint8_t(y * 255 / aHeight);
      row[x * 3 + 2] = uint8_t(160 + 95 * std::sin(x * 0.05) * std::cos(y * 0.05));
    }
  }
  // Three discs on top of the gradient.
  const TColor discs[] = {clRed, clYellow, clWhite};
  for (int32_t i = 0; i < 3; ++i) {
    const int32_t cx = aWidth * (i + 1) / 4, cy = aHeight / 2, r = aHeight / 6;
    for (int32_t y = cy - r; y <= cy + r; ++y)
      for (int32_t x = cx - r; x <= cx + r; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) aBitmap.Canvas().SetPixel(x, y, discs[i]);
  }
}

void ImagesPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(14);
  c.Font().SetStyle({fsBold});
  c.TextOut(150, 100, "Images");
  c.Font().SetSize(9);
  c.Font().SetStyle({});
  const char* const modes[] = {"cpNone (samples as they are)", "cpZlib (lossless, FlateDecode)",
                               "cpJpeg (lossy, DCTDecode)"};
  c.TextOut(150, 200, std::string("This document's ImageCompressMode: ") + modes[aDoc.ImageCompressMode()] +
                          ". The mode is fixed for the whole document.");

  TBitmap bitmap;
  MakePicture(bitmap, 240, 160);

  // A bitmap stretched into a rectangle of 80 x 53 mm.
  c.StretchDraw(Rect(150, 300, 950, 833), &bitmap);
  c.TextOut(150, 850, "TBitmap, StretchDraw into 80 x 53 mm");

  // The same picture as a JPEG image and as a PNG image, at their natural
  // size (one pixel is 1/96 inch). Whatever their source, pictures are
  // written in the document's mode.
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  c.Draw(1100, 300, &jpeg);
  c.TextOut(1100, 750, "TJPEGImage, Draw at natural size");

  TPngImage png;
  png.Assign(bitmap);
  c.Draw(1100, 1000, &png);
  c.TextOut(1100, 1450, "TPngImage, Draw at natural size");

  // A region of the bitmap (the red disc and half the yellow one) enlarged,
  // and the same region mirrored by a reversed source rectangle.
  const TRect disc = Rect(20, 40, 120, 120);
  c.CopyRect(Rect(150, 1000, 550, 1400), bitmap.Canvas(), disc);
  c.CopyRect(Rect(600, 1000, 1000, 1400), bitmap.Canvas(), Rect(disc.Right, disc.Top, disc.Left, disc.Bottom));
  c.TextOut(150, 1420, "CopyRect of a region, and mirrored");

  // Every placement writes its own image object, even of the same picture.
  TBitmap tile;
  MakePicture(tile, 32, 32);
  for (int32_t i = 0; i < 8; ++i) c.StretchDraw(Rect(150 + i * 220, 1700, 350 + i * 220, 1900), &tile);
  c.TextOut(150, 1920, "Eight placements of one 32 x 32 pixel tile");
}

}  // namespace VellixDemo
