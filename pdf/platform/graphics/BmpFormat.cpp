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

// What the file and info headers say, checked against what we can decode.
struct TBmpHeader {
  uint32_t DataOffset = 0;
  uint32_t HeaderSize = 0;
  bool Core = false;  // the 12-byte header of the oldest files
  int64_t Width = 0, Height = 0;
  bool TopDown = false;
  unsigned BitCount = 0;
  uint32_t Compression = BI_RGB, ColorsUsed = 0;
  bool Masked = false;

  size_t Stride() const { return ((size_t(Width) * BitCount + 31) / 32) * 4; }
};

TBmpHeader ReadHeader(const uint8_t* aData, size_t aSize) {
  if (aSize < 2 || aData[0] != 'B' || aData[1] != 'M') Fail("not a BMP file");
  if (aSize < 18) Fail("truncated header");
  TBmpHeader b;
  b.DataOffset = U32(aData + 10);
  b.HeaderSize = U32(aData + 14);
  b.Core = b.HeaderSize == 12;
  if (!b.Core && (b.HeaderSize < 40 || b.HeaderSize > 1024)) Fail("unknown header size " + std::to_string(b.HeaderSize));
  if (aSize < 14 + size_t(b.HeaderSize)) Fail("truncated header");
  const uint8_t* h = aData + 14;
  if (b.Core) {
    b.Width = U16(h + 4);
    b.Height = int16_t(U16(h + 6));
    b.BitCount = U16(h + 10);
  } else {
    b.Width = int32_t(U32(h + 4));
    b.Height = int32_t(U32(h + 8));
    b.BitCount = U16(h + 14);
    b.Compression = U32(h + 16);
    b.ColorsUsed = U32(h + 32);
  }
  b.TopDown = b.Height < 0;
  if (b.TopDown) b.Height = -b.Height;
  if (b.Width < 0) Fail("negative width");
  TGraphic::CheckGraphicSize("Invalid bitmap", b.Width, b.Height);
  const unsigned bits = b.BitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    Fail(std::to_string(bits) + " bits per pixel are not supported");
  if (b.Compression == BI_RLE8 || b.Compression == BI_RLE4) Fail("run-length compression is not supported");
  b.Masked = b.Compression == BI_BITFIELDS || b.Compression == BI_ALPHABITFIELDS;
  if (b.Compression != BI_RGB && !b.Masked) Fail("compression " + std::to_string(b.Compression) + " is not supported");
  if (b.Masked && bits != 16 && bits != 32) Fail("bit masks need 16 or 32 bits per pixel");
  return b;
}

// Colour masks: inside a header of 52 bytes or more, else right after it
// (aTableStart then moves past them). Without masks, the defaults of 16 and
// 32 bits per pixel.
std::array<uint32_t, 3> ReadMasks(const TBmpHeader& aHeader, const uint8_t* aData, size_t aSize, size_t& aTableStart) {
  std::array<uint32_t, 3> masks = {0x7C00, 0x03E0, 0x001F};
  if (aHeader.BitCount == 32) masks = {0xFF0000, 0xFF00, 0xFF};
  if (!aHeader.Masked) return masks;
  const uint8_t* m = aData + 14 + 40;
  if (aHeader.HeaderSize < 52) {
    const size_t maskBytes = aHeader.Compression == BI_ALPHABITFIELDS ? 16 : 12;
    if (aSize < aTableStart + maskBytes) Fail("truncated colour masks");
    m = aData + aTableStart;
    aTableStart += maskBytes;
  }
  for (int i = 0; i < 3; ++i) masks[size_t(i)] = U32(m + 4 * i);
  return masks;
}

// Colour table of the indexed formats, blue-green-red entries, as RGB.
using TPalette = std::array<uint8_t, 256 * 3>;

TPalette ReadPalette(const TBmpHeader& aHeader, const uint8_t* aData, size_t aSize, size_t aTableStart) {
  TPalette palette{};
  if (aHeader.BitCount > 8) return palette;
  const size_t entrySize = aHeader.Core ? 3 : 4;
  const size_t most = size_t(1) << aHeader.BitCount;
  size_t count = aHeader.Core || aHeader.ColorsUsed == 0 ? most : aHeader.ColorsUsed;
  if (count > most) count = most;
  if (aSize < aTableStart + count * entrySize) Fail("truncated colour table");
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = aData + aTableStart + i * entrySize;
    palette[i * 3] = e[2];
    palette[i * 3 + 1] = e[1];
    palette[i * 3 + 2] = e[0];
  }
  return palette;
}

// How one row of the file becomes RGB pixels.
struct TRowDecoder {
  const TBmpHeader& Header;
  TChannel Red, Green, Blue;
  const TPalette& Palette;

  void Masked(const uint8_t* aSrc, uint8_t* aDst, size_t aBytesPerPixel) const {
    for (int64_t x = 0; x < Header.Width; ++x, aSrc += aBytesPerPixel, aDst += 3) {
      const uint32_t v = aBytesPerPixel == 4 ? U32(aSrc) : U16(aSrc);
      aDst[0] = Red.Get(v);
      aDst[1] = Green.Get(v);
      aDst[2] = Blue.Get(v);
    }
  }

  static void Swapped(const uint8_t* aSrc, uint8_t* aDst, int64_t aWidth, size_t aBytesPerPixel) {
    for (int64_t x = 0; x < aWidth; ++x, aSrc += aBytesPerPixel, aDst += 3) {
      aDst[0] = aSrc[2];
      aDst[1] = aSrc[1];
      aDst[2] = aSrc[0];
    }
  }

  // 1, 4 or 8 bits: indexes into the colour table, high bits first.
  void Indexed(const uint8_t* aSrc, uint8_t* aDst) const {
    const unsigned bits = Header.BitCount;
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int64_t x = 0; x < Header.Width; ++x, aDst += 3) {
      const unsigned shift = 8 - bits * (unsigned(x % perByte) + 1);
      const unsigned index = (aSrc[x / perByte] >> shift) & mask;
      std::memcpy(aDst, &Palette[index * 3], 3);
    }
  }

  void Row(const uint8_t* aSrc, uint8_t* aDst) const {
    switch (Header.BitCount) {
      case 24: Swapped(aSrc, aDst, Header.Width, 3); break;
      case 32: Header.Masked ? Masked(aSrc, aDst, 4) : Swapped(aSrc, aDst, Header.Width, 4); break;
      case 16: Masked(aSrc, aDst, 2); break;
      default: Indexed(aSrc, aDst);
    }
  }
};

}  // namespace

TBmpPicture DecodeBmp(const uint8_t* aData, size_t aSize) {
  const TBmpHeader header = ReadHeader(aData, aSize);
  size_t tableStart = 14 + size_t(header.HeaderSize);
  const std::array<uint32_t, 3> masks = ReadMasks(header, aData, aSize, tableStart);
  const TPalette palette = ReadPalette(header, aData, aSize, tableStart);

  const size_t stride = header.Stride();
  const size_t need = stride * size_t(header.Height);
  if (header.DataOffset > aSize || aSize - header.DataOffset < need) Fail("truncated pixel data");

  TBmpPicture pic;
  pic.Width = int32_t(header.Width);
  pic.Height = int32_t(header.Height);
  pic.Pixels.resize(size_t(header.Width) * size_t(header.Height) * 3);
  const TRowDecoder decoder{header, TChannel(masks[0]), TChannel(masks[1]), TChannel(masks[2]), palette};
  for (int64_t y = 0; y < header.Height; ++y) {
    const int64_t fileRow = header.TopDown ? y : header.Height - 1 - y;
    decoder.Row(aData + header.DataOffset + stride * size_t(fileRow), pic.Pixels.data() + size_t(y) * size_t(header.Width) * 3);
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
