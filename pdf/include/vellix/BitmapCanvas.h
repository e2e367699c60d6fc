#pragma once
// TBitmapCanvas: the small pixel canvas of a TBitmap (not the PDF canvas).
// It reads and sets pixels, fills rectangles with its brush, copies
// rectangles between bitmaps with stretching, and draws whole graphics.
// Coordinates are pixels, (0, 0) at the top left; whatever falls outside the
// bitmap is clipped.

#include <vellix/Export.h>
#include <vellix/Brush.h>
#include <vellix/Font.h>
#include <vellix/Geometry.h>
#include <vellix/Pen.h>

namespace Vellix {

class TBitmap;
class TGraphic;

class VELLIX_API TBitmapCanvas {
public:
  // A canvas drawing on aBitmap, which owns it (see TBitmap::Canvas).
  explicit TBitmapCanvas(TBitmap& aBitmap) : FBitmap(aBitmap) {}
  TBitmapCanvas(const TBitmapCanvas&) = delete;
  TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;

  TBitmap& Bitmap() const { return FBitmap; }
  // Drawing attributes. FillRect uses the brush; pen and font are carried
  // for the code that configures them (the PDF canvas reads them).
  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }

  // The colour at (aX, aY) as 0x00BBGGRR; -1 outside the bitmap.
  TColor Pixels(int32_t aX, int32_t aY) const;
  // Sets one pixel (system colours are resolved); ignored outside the bitmap.
  void SetPixel(int32_t aX, int32_t aY, TColor aColor);
  // Fills aRect (right and bottom edges excluded) with the brush colour;
  // nothing with bsClear.
  void FillRect(const TRect& aRect);
  // Copies aSource of aCanvas's bitmap onto aDest of this one, stretching or
  // shrinking by nearest pixel; a reversed rectangle mirrors. Source pixels
  // outside aCanvas's bitmap leave the destination unchanged. The two canvases
  // may be the same.
  void CopyRect(const TRect& aDest, const TBitmapCanvas& aCanvas, const TRect& aSource);
  // Draws aGraphic at its size with its top-left corner at (aX, aY).
  void Draw(int32_t aX, int32_t aY, const TGraphic& aGraphic);
  // Draws aGraphic scaled into aRect.
  void StretchDraw(const TRect& aRect, const TGraphic& aGraphic);

private:
  TBitmap& FBitmap;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
};

}  // namespace Vellix
