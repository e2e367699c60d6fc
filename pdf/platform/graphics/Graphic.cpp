// platform/graphics: the pictures an application passes in and the pixel
// work on them: TGraphic (RGB rows from the top), TBitmap with its small
// TBitmapCanvas, our BMP reader, JPEG through libjpeg-turbo, PNG through
// libpng, the colour table and the font attribute object.

#include <vellix/Graphic.h>

#include <algorithm>

namespace Vellix {

TColor TGraphic::Pixel(int32_t aX, int32_t aY) const {
  if (aX < 0 || aY < 0 || aX >= FWidth || aY >= FHeight) return -1;
  const uint8_t* p = ScanLine(aY) + size_t(aX) * 3;
  return RGB(p[0], p[1], p[2]);
}

void TGraphic::Assign(const TGraphic& aSource) {
  if (&aSource == this) return;
  std::vector<uint8_t> copy = aSource.Pixels();
  TakePixels(aSource.FWidth, aSource.FHeight, std::move(copy));
}

void TGraphic::LoadFromFile(const std::string& aFileName) {
  TFileStream file(aFileName, fmOpenRead);
  LoadFromStream(file);
}

void TGraphic::SaveToFile(const std::string& aFileName) const {
  TFileStream file(aFileName, fmCreate);
  SaveToStream(file);
  file.Flush();
}

void TGraphic::TakePixels(int32_t aWidth, int32_t aHeight, std::vector<uint8_t>&& aPixels) {
  FPixels = std::move(aPixels);
  FPixelsPending.store(false, std::memory_order_release);
  FWidth = aWidth;
  FHeight = aHeight;
}

void TGraphic::CheckGraphicSize(const char* aFormat, int64_t aWidth, int64_t aHeight) {
  if (aWidth < 0 || aHeight < 0)
    throw EInvalidGraphic(std::string(aFormat) + ": negative image size");
  if (aWidth > MaxGraphicSide || aHeight > MaxGraphicSide || aWidth * aHeight > MaxGraphicPixels)
    throw EInvalidGraphic(std::string(aFormat) + ": image of " + std::to_string(aWidth) + " x " +
                          std::to_string(aHeight) + " pixels is too large");
}

std::vector<uint8_t> TGraphic::ReadRest(TStream& aStream) {
  std::vector<uint8_t> data;
  // A stream that knows its size spares the vector its regrowth; one that
  // cannot tell is read all the same. The hint is never trusted beyond the
  // largest file a picture may come from.
  int64_t expected = -1;
  try {
    expected = aStream.Size() - aStream.Position();
  } catch (const std::exception&) {
    expected = -1;
  }
  constexpr int64_t MaxReservation = int64_t(1) << 30;
  if (expected > 0) data.reserve(size_t(std::min(expected, MaxReservation)));
  uint8_t chunk[65536];
  for (;;) {
    const int64_t n = aStream.Read(chunk, sizeof chunk);
    if (n <= 0) break;
    data.insert(data.end(), chunk, chunk + n);
  }
  return data;
}

}  // namespace Vellix
