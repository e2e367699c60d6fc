#pragma once
// The Windows BMP file format, read and written by our own code. Reading
// accepts the variants Windows itself writes: the OS/2 core header and the
// info headers of 40 to 124 bytes; 1, 4 and 8 bits per pixel through a colour
// table, 16 and 32 bits as 5-5-5 / 8-8-8 or through bit masks, 24 bits plain;
// rows bottom-up (positive height) or top-down (negative height). Run-length
// and embedded JPEG/PNG compression are refused. Alpha is ignored, as GDI
// ignores it when it paints a bitmap. Writing produces 24 bits per pixel,
// bottom-up, with a 40-byte info header and 96 dots per inch.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vellix {

// A decoded picture: RGB rows from the top, Width * Height * 3 bytes.
struct TBmpPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;
};

// Decodes a whole BMP file held in aData. Throws EInvalidGraphic with a
// message starting "Invalid bitmap:" when the file is not one of the
// variants above, is truncated, or declares a size beyond the graphic limits.
TBmpPicture DecodeBmp(const uint8_t* aData, size_t aSize);

// Encodes aWidth x aHeight RGB pixels (rows from the top) as a complete
// 24-bit BMP file.
std::vector<uint8_t> EncodeBmp(int32_t aWidth, int32_t aHeight, const uint8_t* aPixels);

}  // namespace Vellix
