// The pixel bitmap and its small canvas.

#include <gtest/gtest.h>

#include "ImageTestUtil.h"
#include <vellix/Bitmap.h>
#include <vellix/BitmapCanvas.h>
#include <vellix/PngImage.h>

using namespace Vellix;
using namespace ImageTest;

namespace {

// A 4 x 3 bitmap whose pixel (x, y) is RGB(x, y, 7).
std::unique_ptr<TBitmap> Grid() {
  auto bmp = std::make_unique<TBitmap>(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) bmp->Canvas().SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 7));
  return bmp;
}

}  // namespace

TEST(Bitmap, NewPixelsAreWhiteAndResizingKeepsTheTopLeft) {
  TBitmap bmp;
  EXPECT_TRUE(bmp.Empty());
  bmp.SetSize(2, 2);
  EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clWhite);
  bmp.Canvas().SetPixel(1, 1, clRed);
  bmp.Canvas().SetPixel(0, 0, clBtnFace);  // system colours resolve
  bmp.SetSize(3, 1);
  EXPECT_EQ(bmp.Canvas().Pixels(0, 0), RGB(212, 208, 200));
  EXPECT_EQ(bmp.Canvas().Pixels(2, 0), clWhite);
  bmp.SetHeight(2);
  EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clWhite);  // the red pixel was cut off before
  EXPECT_EQ(bmp.Canvas().Pixels(3, 0), -1);
  EXPECT_EQ(bmp.Canvas().Pixels(-1, 0), -1);
  bmp.Canvas().SetPixel(5, 5, clRed);  // outside: ignored
  bmp.SetSize(0, 0);
  EXPECT_TRUE(bmp.Empty());
}

TEST(BitmapCanvas, CopyRectCopiesStretchesMirrorsAndClips) {
  auto src = Grid();
  TBitmap dst(6, 6);
  // Plain copy of the middle two columns to (1, 1).
  dst.Canvas().CopyRect(Rect(1, 1, 3, 4), src->Canvas(), Rect(1, 0, 3, 3));
  EXPECT_EQ(dst.Canvas().Pixels(1, 1), RGB(1, 0, 7));
  EXPECT_EQ(dst.Canvas().Pixels(2, 3), RGB(2, 2, 7));
  EXPECT_EQ(dst.Canvas().Pixels(0, 1), clWhite);
  EXPECT_EQ(dst.Canvas().Pixels(3, 1), clWhite);
  // Doubling: each source pixel covers two destination pixels.
  TBitmap big(8, 6);
  big.Canvas().CopyRect(Rect(0, 0, 8, 6), src->Canvas(), Rect(0, 0, 4, 3));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(big.Canvas().Pixels(x, y), RGB(uint8_t(x / 2), uint8_t(y / 2), 7));
  // A reversed destination mirrors left to right.
  TBitmap mirror(4, 3);
  mirror.Canvas().CopyRect(Rect(4, 0, 0, 3), src->Canvas(), Rect(0, 0, 4, 3));
  EXPECT_EQ(mirror.Canvas().Pixels(0, 2), RGB(3, 2, 7));
  EXPECT_EQ(mirror.Canvas().Pixels(3, 0), RGB(0, 0, 7));
  // A source reaching beyond the bitmap leaves those pixels alone; a
  // destination beyond the bitmap is clipped.
  TBitmap clip(3, 3);
  clip.Canvas().CopyRect(Rect(-1, 0, 2, 2), src->Canvas(), Rect(2, 1, 5, 3));
  EXPECT_EQ(clip.Canvas().Pixels(0, 0), RGB(3, 1, 7));
  EXPECT_EQ(clip.Canvas().Pixels(1, 0), clWhite);
  EXPECT_EQ(clip.Canvas().Pixels(2, 0), clWhite);
  // Shrinking keeps the pixel under each destination centre.
  TBitmap small(2, 1);
  small.Canvas().CopyRect(Rect(0, 0, 2, 1), src->Canvas(), Rect(0, 0, 4, 3));
  EXPECT_EQ(small.Canvas().Pixels(0, 0), RGB(1, 1, 7));
  EXPECT_EQ(small.Canvas().Pixels(1, 0), RGB(3, 1, 7));
}

TEST(BitmapCanvas, OverlappingCopyWithinOneBitmapReadsTheOldPixels) {
  auto bmp = Grid();
  bmp->Canvas().CopyRect(Rect(1, 0, 4, 3), bmp->Canvas(), Rect(0, 0, 3, 3));
  EXPECT_EQ(bmp->Canvas().Pixels(0, 0), RGB(0, 0, 7));
  EXPECT_EQ(bmp->Canvas().Pixels(1, 0), RGB(0, 0, 7));
  EXPECT_EQ(bmp->Canvas().Pixels(3, 2), RGB(2, 2, 7));
  bmp->Canvas().StretchDraw(Rect(0, 0, 2, 3), *bmp);
  EXPECT_EQ(bmp->Canvas().Pixels(1, 0), RGB(2, 0, 7));
}

TEST(BitmapCanvas, DrawsOtherGraphicsAndFillsWithTheBrush) {
  auto noise = Noise(5, 4);
  TPngImage png;
  png.Assign(*noise);
  TBitmap bmp(7, 6);
  bmp.Canvas().Brush().SetColor(clBlue);
  bmp.Canvas().FillRect(Rect(-3, -3, 100, 100));
  EXPECT_EQ(bmp.Canvas().Pixels(6, 5), clBlue);
  bmp.Canvas().Draw(2, 1, png);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(bmp.Canvas().Pixels(x + 2, y + 1), noise->Pixel(x, y));
  EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clBlue);
  bmp.Canvas().Brush().SetStyle(bsClear);
  bmp.Canvas().FillRect(Rect(0, 0, 7, 6));
  EXPECT_EQ(bmp.Canvas().Pixels(0, 0), clBlue);
  bmp.Canvas().Draw(5, 4, png);  // partly outside: clipped, no fault
  EXPECT_EQ(bmp.Canvas().Pixels(6, 5), noise->Pixel(1, 1));
}
