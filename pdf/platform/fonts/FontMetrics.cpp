#include "platform/fonts/FontMetrics.h"

#include <algorithm>
#include <cmath>

#include "platform/fonts/FontFace.h"

namespace Vellix {

namespace {

// The em in pixels for a GDI-style height (see the header).
int32_t EmOf(const TFontFace& aFace, int32_t aHeight) {
  if (aHeight < 0) return aHeight == INT32_MIN ? INT32_MAX : -aHeight;
  // Height 0 asks for the system's default size: 12 points at 96 dots per inch.
  if (aHeight == 0) return 16;
  const int64_t cell = int64_t(aFace.WinAscent) + aFace.WinDescent;
  if (cell <= 0) return aHeight;
  const double em = std::nearbyint(double(aHeight) * aFace.UnitsPerEm / double(cell));
  return int32_t(std::clamp(em, 1.0, double(INT32_MAX)));
}

uint8_t ClampCode(int64_t aCode) { return uint8_t(std::clamp<int64_t>(aCode, 0, 255)); }

// Maps the OS/2 fsType onto the two bits the library reads (see the header):
// the least restrictive of the usage bits applies, as the OpenType rules say.
uint32_t EmbeddingRights(uint32_t aFsType) {
  const bool editable = (aFsType & 0x0008) != 0, previewPrint = (aFsType & 0x0004) != 0;
  const bool restricted = (aFsType & 0x0002) != 0 && !editable && !previewPrint;
  const bool bitmapOnly = (aFsType & 0x0200) != 0;
  if (restricted || bitmapOnly) return 1;
  return previewPrint && !editable ? 2 : 0;
}

}  // namespace

TFontMetrics::TFontMetrics(std::shared_ptr<const TFontFace> aFace, int32_t aHeight) : FFace(std::move(aFace)) {
  const TFontFace& f = *FFace;
  FEm = EmOf(f, aHeight);
  const double scale = double(FEm) / f.UnitsPerEm;
  auto px = [scale](int64_t aUnits) {
    const double v = std::nearbyint(double(aUnits) * scale);
    return int32_t(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
  };

  TTextMetric& tm = FTextMetric;
  tm.tmAscent = px(f.WinAscent);
  tm.tmDescent = px(f.WinDescent);
  // Where the font lists its hinted extents for this pixel height (VDMX), the
  // cell is those, as Windows takes them.
  for (const TFontFace::TVdmxEntry& entry : f.Vdmx)
    if (entry.PixelsPerEm == FEm) {
      tm.tmAscent = entry.YMax;
      tm.tmDescent = -entry.YMin;
      break;
    }
  // Sums in 64 bits: an em near the 32-bit limit must saturate, not wrap.
  auto saturated = [](int64_t aValue) { return int32_t(std::clamp<int64_t>(aValue, INT32_MIN, INT32_MAX)); };
  tm.tmHeight = saturated(int64_t(tm.tmAscent) + tm.tmDescent);
  tm.tmInternalLeading = saturated(int64_t(tm.tmHeight) - FEm);
  tm.tmExternalLeading =
      std::max(0, px(int64_t(f.HheaLineGap) - ((int64_t(f.WinAscent) + f.WinDescent) - (f.HheaAscender - f.HheaDescender))));
  tm.tmMaxCharWidth = px(f.MaxAdvance);
  tm.tmWeight = f.Weight;
  tm.tmItalic = f.Italic ? 1 : 0;
  const int64_t base = f.Symbol ? 0xF000 : 0;
  auto code = [base](int64_t aIndex) { return aIndex >= base ? aIndex - base : aIndex; };
  tm.tmFirstChar = ClampCode(code(f.FirstCharIndex) - 1);
  tm.tmLastChar = std::max(tm.tmFirstChar, ClampCode(code(f.LastCharIndex)));
  tm.tmDefaultChar = ClampCode(code(f.DefaultChar));
  tm.tmBreakChar = ClampCode(code(f.BreakChar));
  tm.tmPitchAndFamily = uint8_t((f.FixedPitch ? 0 : TMPF_FIXED_PITCH) | (f.Scalable ? TMPF_VECTOR : 0) |
                                (f.TrueType ? TMPF_TRUETYPE : 0));
  tm.tmCharSet = f.Symbol ? SYMBOL_CHARSET : ANSI_CHARSET;

  TOutlineTextMetric& otm = FOutline;
  otm.otmfsType = EmbeddingRights(f.FsType);
  otm.otmItalicAngle = f.ItalicAngleTenths;
  otm.otmEMSquare = uint32_t(f.UnitsPerEm);
  otm.otmAscent = px(f.TypoAscender);
  otm.otmDescent = px(f.TypoDescender);
  otm.otmsUnderscoreSize = px(f.UnderlineThickness);
  otm.otmsUnderscorePosition = px(f.UnderlinePosition);
  otm.otmsStrikeoutSize = px(f.StrikeoutSize);
  otm.otmsStrikeoutPosition = px(f.StrikeoutPosition);

  for (size_t c = 0; c < 256; ++c) {
    FWidths[c] = px(f.Advance[c]);
    const double measuring = std::nearbyint(double(f.Advance[c]) * kMeasuringEm / f.UnitsPerEm);
    FThousandths[c] = int32_t(std::nearbyint(measuring * 7.5));
  }
  tm.tmAveCharWidth = f.AvgCharWidth > 0 ? px(f.AvgCharWidth) : FWidths['x'];
}

const std::string& TFontMetrics::FamilyName() const { return FFace->Family; }
const std::string& TFontMetrics::FilePath() const { return FFace->Path; }
int32_t TFontMetrics::FaceIndex() const { return FFace->FaceIndex; }

std::vector<uint8_t> TFontMetrics::FontData() const { return FFace->FontData(); }

}  // namespace Vellix
