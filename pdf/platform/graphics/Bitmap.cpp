#include <vellix/Bitmap.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <vellix/BitmapCanvas.h>
#include "platform/graphics/BmpFormat.h"

namespace Vellix {

TBitmap::TBitmap() : FCanvas(std::make_unique<TBitmapCanvas>(*this)) {}

TBitmap::TBitmap(int32_t aWidth, int32_t aHeight) : TBitmap() { SetSize(aWidth, aHeight); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int32_t aWidth, int32_t aHeight) {
  const std::string size = std::to_string(aWidth) + " x " + std::to_string(aHeight) + " pixels";
  if (aWidth < 0 || aHeight < 0) throw EInvalidGraphic("Invalid bitmap size: " + size);
  // Bounded by the bytes, not by the sides: a long strip is as good as a square.
  const int64_t bytes = int64_t(aWidth) * aHeight * 3;
  if (bytes > MaxBitmapBytes)
    throw EInvalidGraphic("Invalid bitmap size: " + size + " need " + std::to_string(bytes) + " bytes, more than " +
                          std::to_string(MaxBitmapBytes));
  if (aWidth == FWidth && aHeight == FHeight) return;
  std::vector<uint8_t> pixels;
  try {
    pixels.assign(size_t(bytes), 0xFF);
  } catch (const std::bad_alloc&) {
    throw EInvalidGraphic("Invalid bitmap size: not enough memory for " + size);
  }
  const size_t keep = size_t(std::min(aWidth, FWidth)) * 3;
  for (int32_t y = 0; y < std::min(aHeight, FHeight) && keep > 0; ++y)
    std::memcpy(pixels.data() + size_t(y) * size_t(aWidth) * 3, TGraphic::ScanLine(y), keep);
  TakePixels(aWidth, aHeight, std::move(pixels));
}

void TBitmap::LoadFromStream(TStream& aStream) {
  const std::vector<uint8_t> file = ReadRest(aStream);
  TBmpPicture pic = DecodeBmp(file.data(), file.size());
  TakePixels(pic.Width, pic.Height, std::move(pic.Pixels));
}

void TBitmap::SaveToStream(TStream& aStream) const {
  const std::vector<uint8_t> file = EncodeBmp(FWidth, FHeight, FPixels.data());
  aStream.WriteBuffer(file.data(), int64_t(file.size()));
}

}  // namespace Vellix
