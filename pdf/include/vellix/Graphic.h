#pragma once
// The common base of raster graphics (bitmaps, JPEG and PNG images): a
// picture of Width() x Height() pixels held as 8-bit RGB, rows from the top,
// three bytes per pixel (red, green, blue), no padding and no alpha. Loading
// replaces the picture; a file that is not a valid image of the class's kind
// raises EInvalidGraphic and leaves the graphic as it was.

#include <vellix/Export.h>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <vellix/Color.h>
#include <vellix/Component.h>
#include <vellix/Exception.h>
#include <vellix/Stream.h>

namespace Vellix {

// A picture file that cannot be read: truncated, corrupt, of an unsupported
// variant, or larger than MaxGraphicPixels. Message() says which.
class VELLIX_API EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// Largest width or height accepted from a file (JPEG's own limit is 65500).
constexpr int32_t MaxGraphicSide = 65535;
// Largest pixel count accepted from a file (256 megapixels, 768 MiB of RGB):
// a damaged header must not make the reader reserve gigabytes.
constexpr int64_t MaxGraphicPixels = int64_t(1) << 28;

// Largest picture a program may make itself (TBitmap::SetSize), in bytes of
// RGB: 4 GiB, a strip of any length or 1.4 gigapixels in all. Sides are not
// bounded otherwise; past this no document could hold the picture's image
// object within the addresses of its cross-reference table.
constexpr int64_t MaxBitmapBytes = int64_t(1) << 32;

class VELLIX_API TGraphic : public TObject {
public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  // Size in pixels; 0 x 0 for a graphic never loaded or sized.
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  // The RGB bytes of row aRow (0 = top), Width() * 3 of them. aRow must be in
  // 0 .. Height() - 1.
  const uint8_t* ScanLine(int32_t aRow) const { return Pixels().data() + RowOffset(aRow); }
  // All rows, top to bottom, Width() * Height() * 3 bytes.
  const std::vector<uint8_t>& RGBData() const { return Pixels(); }
  // The colour of one pixel as 0x00BBGGRR; -1 outside the picture.
  TColor Pixel(int32_t aX, int32_t aY) const;

  // Copies the picture of any graphic (a bitmap into a JPEG image, ...).
  virtual void Assign(const TGraphic& aSource);

  // Reads the picture from aStream's position to its end. Throws
  // EInvalidGraphic for a bad file; the graphic is then unchanged.
  virtual void LoadFromStream(TStream& aStream) = 0;
  // Writes the picture as a file of the class's format at aStream's position.
  virtual void SaveToStream(TStream& aStream) const = 0;
  // The same through a file; stream errors (EFOpenError, EWriteError...) pass through.
  void LoadFromFile(const std::string& aFileName);
  void SaveToFile(const std::string& aFileName) const;

  // Throws EInvalidGraphic ("<aFormat>: ...") when a size read from a file is
  // negative or beyond MaxGraphicSide / MaxGraphicPixels.
  static void CheckGraphicSize(const char* aFormat, int64_t aWidth, int64_t aHeight);

protected:
  size_t RowOffset(int32_t aRow) const { return size_t(aRow) * size_t(FWidth) * 3; }
  // The pixels, decoded first when a subclass left them pending.
  const std::vector<uint8_t>& Pixels() const {
    if (FPixelsPending.load(std::memory_order_acquire)) DecodePendingPixels();
    return FPixels;
  }
  // A subclass that keeps its file and decodes on first use (a JPEG image)
  // sets the size with FPixelsPending true; DecodePendingPixels then fills
  // FPixels and clears the flag, or throws EInvalidGraphic and leaves it set.
  virtual void DecodePendingPixels() const {}
  // Replaces the picture with aPixels (aWidth * aHeight * 3 bytes).
  void TakePixels(int32_t aWidth, int32_t aHeight, std::vector<uint8_t>&& aPixels);
  // Reads every byte from aStream's position to its end.
  static std::vector<uint8_t> ReadRest(TStream& aStream);

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  mutable std::vector<uint8_t> FPixels;
  mutable std::atomic<bool> FPixelsPending{false};
};

}  // namespace Vellix
