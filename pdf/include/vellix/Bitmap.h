#pragma once
// TBitmap: an RGB picture in memory that can be drawn on through its
// canvas (TBitmapCanvas) and stored as a BMP file. New pixels are white.

#include <vellix/Export.h>
#include <memory>

#include <vellix/Graphic.h>

namespace Vellix {

class TBitmapCanvas;

class VELLIX_API TBitmap : public TGraphic {
public:
  TBitmap();
  // A white bitmap of aWidth x aHeight pixels.
  TBitmap(int32_t aWidth, int32_t aHeight);
  ~TBitmap() override;

  // Resizes the picture. The overlap with the old picture is kept at the top
  // left; new pixels are white. Throws EInvalidGraphic for a negative size,
  // for one of more than MaxBitmapBytes, and when the machine cannot give the
  // memory; the bitmap is then unchanged.
  void SetSize(int32_t aWidth, int32_t aHeight);
  void SetWidth(int32_t aWidth) { SetSize(aWidth, FHeight); }
  void SetHeight(int32_t aHeight) { SetSize(FWidth, aHeight); }

  using TGraphic::ScanLine;
  // Writable RGB bytes of row aRow (0 = top).
  uint8_t* ScanLine(int32_t aRow) { return FPixels.data() + RowOffset(aRow); }

  // The canvas that draws on this bitmap; lives as long as the bitmap.
  TBitmapCanvas& Canvas() { return *FCanvas; }
  const TBitmapCanvas& Canvas() const { return *FCanvas; }

  // Reads a BMP file (see BmpFormat.h for the variants); EInvalidGraphic when bad.
  void LoadFromStream(TStream& aStream) override;
  // Writes a 24-bit BMP file.
  void SaveToStream(TStream& aStream) const override;

private:
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

}  // namespace Vellix
