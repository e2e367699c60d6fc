#include <vellix/BitmapCanvas.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include <vellix/Bitmap.h>

namespace Vellix {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Nearest-pixel copy of aSource (in aSrc) onto aDest (in aDst). Each
// destination pixel takes the source pixel under its centre, which mirrors
// when exactly one of the two rectangles is reversed.
void StretchCopy(TBitmap& aDst, const TRect& aDest, const TGraphic& aSrc, const TRect& aSource) {
  const int64_t dw = int64_t(aDest.Right) - aDest.Left, dh = int64_t(aDest.Bottom) - aDest.Top;
  const int64_t sw = int64_t(aSource.Right) - aSource.Left, sh = int64_t(aSource.Bottom) - aSource.Top;
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  const int64_t x0 = std::max<int64_t>(0, std::min<int64_t>(aDest.Left, aDest.Right));
  const int64_t x1 = std::min<int64_t>(aDst.Width(), std::max<int64_t>(aDest.Left, aDest.Right));
  const int64_t y0 = std::max<int64_t>(0, std::min<int64_t>(aDest.Top, aDest.Bottom));
  const int64_t y1 = std::min<int64_t>(aDst.Height(), std::max<int64_t>(aDest.Top, aDest.Bottom));
  if (x0 >= x1 || y0 >= y1) return;

  // Source column of every destination column, -1 where it leaves the source.
  std::vector<int32_t> column(size_t(x1 - x0));
  bool straight = dw == sw;  // same scale, not mirrored: rows copy in runs
  for (int64_t x = x0; x < x1; ++x) {
    const int64_t sx = aSource.Left + FloorDiv((2 * (x - aDest.Left) + 1) * sw, 2 * dw);
    column[size_t(x - x0)] = sx >= 0 && sx < aSrc.Width() ? int32_t(sx) : -1;
    if (column[size_t(x - x0)] < 0) straight = false;
  }
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t sy = aSource.Top + FloorDiv((2 * (y - aDest.Top) + 1) * sh, 2 * dh);
    if (sy < 0 || sy >= aSrc.Height()) continue;
    const uint8_t* src = aSrc.ScanLine(int32_t(sy));
    uint8_t* dst = aDst.ScanLine(int32_t(y)) + x0 * 3;
    if (straight) {
      std::memmove(dst, src + size_t(column[0]) * 3, size_t(x1 - x0) * 3);
      continue;
    }
    for (size_t i = 0; i < column.size(); ++i)
      if (column[i] >= 0) std::memcpy(dst + i * 3, src + size_t(column[i]) * 3, 3);
  }
}

}  // namespace

TColor TBitmapCanvas::Pixels(int32_t aX, int32_t aY) const { return FBitmap.Pixel(aX, aY); }

void TBitmapCanvas::SetPixel(int32_t aX, int32_t aY, TColor aColor) {
  if (aX < 0 || aY < 0 || aX >= FBitmap.Width() || aY >= FBitmap.Height()) return;
  const TColor c = ColorToRGB(aColor);
  uint8_t* p = FBitmap.ScanLine(aY) + size_t(aX) * 3;
  p[0] = GetRValue(c);
  p[1] = GetGValue(c);
  p[2] = GetBValue(c);
}

void TBitmapCanvas::FillRect(const TRect& aRect) {
  if (FBrush.Style() == bsClear) return;
  const TColor c = ColorToRGB(FBrush.Color());
  const uint8_t rgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  const int32_t x0 = std::max(0, aRect.Left), x1 = std::min(FBitmap.Width(), aRect.Right);
  const int32_t y0 = std::max(0, aRect.Top), y1 = std::min(FBitmap.Height(), aRect.Bottom);
  for (int32_t y = y0; y < y1; ++y) {
    uint8_t* p = FBitmap.ScanLine(y) + size_t(std::max(x0, 0)) * 3;
    for (int32_t x = x0; x < x1; ++x, p += 3) std::memcpy(p, rgb, 3);
  }
}

void TBitmapCanvas::CopyRect(const TRect& aDest, const TBitmapCanvas& aCanvas, const TRect& aSource) {
  if (&aCanvas.FBitmap == &FBitmap) {
    // Reading and writing one picture: copy from a snapshot.
    TBitmap snapshot;
    snapshot.Assign(FBitmap);
    StretchCopy(FBitmap, aDest, snapshot, aSource);
    return;
  }
  StretchCopy(FBitmap, aDest, aCanvas.FBitmap, aSource);
}

void TBitmapCanvas::Draw(int32_t aX, int32_t aY, const TGraphic& aGraphic) {
  // Far right or low, the far edge would overflow; it is clipped anyway.
  const auto edge = [](int32_t aFrom, int32_t aSize) {
    return int32_t(std::min<int64_t>(int64_t(aFrom) + aSize, INT32_MAX));
  };
  StretchDraw(Rect(aX, aY, edge(aX, aGraphic.Width()), edge(aY, aGraphic.Height())), aGraphic);
}

void TBitmapCanvas::StretchDraw(const TRect& aRect, const TGraphic& aGraphic) {
  const TRect whole = Rect(0, 0, aGraphic.Width(), aGraphic.Height());
  if (&aGraphic == &FBitmap) {
    TBitmap snapshot;
    snapshot.Assign(FBitmap);
    StretchCopy(FBitmap, aRect, snapshot, whole);
    return;
  }
  StretchCopy(FBitmap, aRect, aGraphic, whole);
}

}  // namespace Vellix
