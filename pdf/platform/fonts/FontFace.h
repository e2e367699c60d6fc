#pragma once
// One face of one font file, read once through FreeType: the font-unit values
// of its tables and, for each of the 256 character codes, its glyph and
// advance. TFontMetrics scales these to an em; nothing else uses this class.
// Not thread-safe on its own: the font services serialise its use.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vellix {

class TFontFace {
public:
  // Opens face aFaceIndex of the file aPath. Throws Vellix::Exception when
  // FreeType cannot open it.
  TFontFace(const std::string& aPath, int32_t aFaceIndex);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  std::string Path;
  int32_t FaceIndex = 0;
  std::string Family;     // as the font names itself
  bool Scalable = false;  // outline font
  bool TrueType = false;  // outlines in a 'glyf' table
  bool Symbol = false;    // character set 2 (see TTextMetric::tmCharSet)
  bool FixedPitch = false;
  bool Italic = false;
  bool InCollection = false;

  // Font units (for a bitmap-only face: pixels of its strike).
  int32_t UnitsPerEm = 1000;
  int32_t WinAscent = 0, WinDescent = 0;  // positive descent
  int32_t HheaAscender = 0, HheaDescender = 0, HheaLineGap = 0;
  int32_t TypoAscender = 0, TypoDescender = 0;
  int32_t AvgCharWidth = 0, MaxAdvance = 0, Weight = 400;
  int32_t UnderlinePosition = 0, UnderlineThickness = 0;
  int32_t StrikeoutPosition = 0, StrikeoutSize = 0;
  int32_t ItalicAngleTenths = 0;
  uint32_t FsType = 0;
  bool HasOS2 = false;
  uint32_t FirstCharIndex = 0, LastCharIndex = 0;  // OS/2 usFirst/LastCharIndex
  uint32_t DefaultChar = 0, BreakChar = 32;

  // The VDMX table's extents for the 1:1 aspect ratio, as Windows reads
  // them: the hinted yMax and yMin (pixels) at each pixel height it lists.
  struct TVdmxEntry {
    int32_t PixelsPerEm, YMax, YMin;
  };
  std::vector<TVdmxEntry> Vdmx;

  std::array<uint32_t, 256> Glyph{};     // glyph index per code (0 = missing)
  std::array<int32_t, 256> Advance{};    // advance per code, font units

  // Horizontal ink extent (xMin, xMax) per code in font units, read from the
  // glyphs on first request, when the file is opened again for them. False
  // when a glyph cannot be loaded.
  bool InkExtents(std::array<int32_t, 256>& aMin, std::array<int32_t, 256>& aMax) const;
  // See TFontMetrics::FontData.
  std::vector<uint8_t> FontData() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  void ReadTables();
  void ReadVdmx();
  void ReadCharacterMap();
  void CloseFace() const;
};

}  // namespace Vellix
