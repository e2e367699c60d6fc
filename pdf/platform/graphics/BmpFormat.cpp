#include "platform/graphics/BmpFormat.h"

#include <array>
#include <bit>
#include <cstring>

#include <vellix/Graphic.h>

namespace Vellix {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

[[noreturn]] void Fail(const std::string& aWhat) { throw EInvalidGraphic("Invalid bitmap: " + aWhat); }

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// One colour channel described by a bit mask: where it sits and how to widen
// it to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;

  explicit TChannel(uint32_t aMask) : Mask(aMask) {
    if (aMask == 0) return;
    Shift = std::countr_zero(aMask);
    uint32_t bits = aMask >> Shift;
    // A mask with holes is read as its lowest run of ones.
    Max = (bits & (bits + 1)) == 0 ? bits : (uint32_t(1) << std::countr_one(bits)) - 1;
  }
  uint8_t Get(uint32_t aPixel) const {
    if (Max == 0) return 0;
    const uint64_t v = (aPixel >> Shift) & Max;
    return uint8_t((v * 255 + Max / 2) / Max);
  }
};

}  // namespace

TBmpPicture DecodeBmp(const uint8_t* aData, size_t aSize) {
  if (aSize < 2 || aData[0] != 'B' || aData[1] != 'M') Fail("not a BMP file");
  if (aSize < 18) Fail("truncated header");
  const uint32_t dataOffset = U32(aData + 10);
  const uint32_t headerSize = U32(aData + 14);
  const bool core = headerSize == 12;
  if (!core && (headerSize < 40 || headerSize > 1024)) Fail("unknown header size " + std::to_string(headerSize));
  if (aSize < 14 + size_t(headerSize)) Fail("truncated header");
  const uint8_t* h = aData + 14;

  int64_t width, height;
  unsigned bitCount;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  if (core) {
    width = U16(h + 4);
    height = int16_t(U16(h + 6));
    bitCount = U16(h + 10);
  } else {
    width = int32_t(U32(h + 4));
    height = int32_t(U32(h + 8));
    bitCount = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width < 0) Fail("negative width");
  TGraphic::CheckGraphicSize("Invalid bitmap", width, height);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    Fail(std::to_string(bitCount) + " bits per pixel are not supported");
  if (compression == BI_RLE8 || compression == BI_RLE4) Fail("run-length compression is not supported");
  const bool masked = compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
  if (compression != BI_RGB && !masked) Fail("compression " + std::to_string(compression) + " is not supported");
  if (masked && bitCount != 16 && bitCount != 32) Fail("bit masks need 16 or 32 bits per pixel");

  // Colour masks: inside a header of 52 bytes or more, else right after it.
  size_t tableStart = 14 + size_t(headerSize);
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  if (masked) {
    const uint8_t* m = h + 40;
    if (headerSize < 52) {
      const size_t maskBytes = compression == BI_ALPHABITFIELDS ? 16 : 12;
      if (aSize < tableStart + maskBytes) Fail("truncated colour masks");
      m = aData + tableStart;
      tableStart += maskBytes;
    }
    for (int i = 0; i < 3; ++i) masks[i] = U32(m + 4 * i);
  }

  // Colour table of the indexed formats, blue-green-red entries.
  std::array<uint8_t, 256 * 3> palette{};
  if (bitCount <= 8) {
    const size_t entrySize = core ? 3 : 4;
    size_t count = core || colorsUsed == 0 ? size_t(1) << bitCount : colorsUsed;
    if (count > (size_t(1) << bitCount)) count = size_t(1) << bitCount;
    if (aSize < tableStart + count * entrySize) Fail("truncated colour table");
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = aData + tableStart + i * entrySize;
      palette[i * 3] = e[2];
      palette[i * 3 + 1] = e[1];
      palette[i * 3 + 2] = e[0];
    }
  }

  const size_t stride = ((size_t(width) * bitCount + 31) / 32) * 4;
  const size_t need = stride * size_t(height);
  if (dataOffset > aSize || aSize - dataOffset < need) Fail("truncated pixel data");

  TBmpPicture pic;
  pic.Width = int32_t(width);
  pic.Height = int32_t(height);
  pic.Pixels.resize(size_t(width) * size_t(height) * 3);
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* src = aData + dataOffset + stride * size_t(topDown ? y : height - 1 - y);
    uint8_t* dst = pic.Pixels.data() + size_t(y) * size_t(width) * 3;
    switch (bitCount) {
      case 24:
        for (int64_t x = 0; x < width; ++x, src += 3, dst += 3) {
          dst[0] = src[2];
          dst[1] = src[1];
          dst[2] = src[0];
        }
        break;
      case 32:
        if (!masked) {
          for (int64_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
          }
          break;
        }
        for (int64_t x = 0; x < width; ++x, src += 4, dst += 3) {
          const uint32_t v = U32(src);
          dst[0] = red.Get(v);
          dst[1] = green.Get(v);
          dst[2] = blue.Get(v);
        }
        break;
      case 16:
        for (int64_t x = 0; x < width; ++x, src += 2, dst += 3) {
          const uint32_t v = U16(src);
          dst[0] = red.Get(v);
          dst[1] = green.Get(v);
          dst[2] = blue.Get(v);
        }
        break;
      default: {  // 1, 4 or 8 bits: indexes into the colour table, high bits first
        const unsigned perByte = 8 / bitCount;
        const unsigned mask = (1u << bitCount) - 1;
        for (int64_t x = 0; x < width; ++x, dst += 3) {
          const unsigned shift = 8 - bitCount * (unsigned(x % perByte) + 1);
          const unsigned index = (src[x / perByte] >> shift) & mask;
          std::memcpy(dst, &palette[index * 3], 3);
        }
      }
    }
  }
  return pic;
}

std::vector<uint8_t> EncodeBmp(int32_t aWidth, int32_t aHeight, const uint8_t* aPixels) {
  const size_t stride = ((size_t(aWidth) * 24 + 31) / 32) * 4;
  const size_t imageSize = stride * size_t(aHeight);
  std::vector<uint8_t> file(54 + imageSize, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    file[at] = uint8_t(v);
    file[at + 1] = uint8_t(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(aWidth));
  put32(22, uint32_t(aHeight));
  put16(26, 1);
  put16(28, 24);
  put32(34, uint32_t(imageSize));
  put32(38, 3780);  // 96 dots per inch in pixels per metre
  put32(42, 3780);
  for (int32_t y = 0; y < aHeight; ++y) {
    const uint8_t* src = aPixels + size_t(aHeight - 1 - y) * size_t(aWidth) * 3;
    uint8_t* dst = file.data() + 54 + stride * size_t(y);
    for (int32_t x = 0; x < aWidth; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return file;
}

}  // namespace Vellix
