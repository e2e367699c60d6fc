#pragma once
// platform/fonts: font files found by family and style through fontconfig,
// measured with FreeType (FontFace, FontCatalog), and faces taken out of
// collections (Sfnt). This header is the folder's face to the text layer.
//
// Font measurement at the canvas's measuring resolution (96 dots per inch),
// giving the quantities a document needs for text layout and for its font
// resources: cell metrics, character range, character set, per-character
// widths, underline geometry, embedding rights and the font file itself.
// The numbers follow the rules below, each stated once, so that the widths a
// PDF declares, the widths text layout measures, and what a reader draws agree.
//
// Em size. A font's Height in pixels selects the em: a negative Height is an
// em of |Height| pixels (TFont.Size 100 is Height -133, an em of 133 pixels);
// a positive Height is the cell height (ascent + descent), and the em is
// scaled so that the cell has that height.
//
// Measuring em. Font resources are measured at Size 100, an em of
// kMeasuringEm pixels, where a pixel is 7.5 thousandths of an em.
//
// Rounding. Every pixel quantity is a font-unit value scaled by
// em / unitsPerEm and rounded to the nearest integer, ties to even.
//
// Advances. A character's width in whole pixels (CharWidth, and the ABC
// widths that a PDF's /Widths are made from) is its linear advance (the hmtx
// advance scaled to the em) rounded to whole pixels; hinting never enters, so
// the widths do not depend on a hinting engine's version or settings.
//
// Text width. Text is measured for layout with the widths a PDF font
// resource declares (TextWidthThousandths): each character's whole-pixel
// advance at the 133-pixel measuring em (Size 100) times 7.5, rounded, in
// thousandths of an em. Multiplied by the font size this is exactly the width
// a reader draws for text in the regular face. It is deliberately not the sum
// of whole-pixel widths at the screen em of the text's own size: at 12 points
// (16 pixels) that rounding alone makes a Times "i" 10 % narrower than drawn
// and a Courier letter 4 % wider, so text laid out with it would run past
// its box.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <vellix/Font.h>
#include <vellix/Geometry.h>

namespace Vellix {

class TFontFace;

constexpr int32_t kMeasuringEm = 133;

// tmPitchAndFamily bits (as the GDI defines them: TMPF_FIXED_PITCH set means a
// variable-pitch font).
constexpr uint8_t TMPF_FIXED_PITCH = 0x01;
constexpr uint8_t TMPF_VECTOR = 0x02;
constexpr uint8_t TMPF_TRUETYPE = 0x04;
// tmCharSet values.
constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t SYMBOL_CHARSET = 2;

// Cell metrics of a font at one em, in pixels.
struct TTextMetric {
  // tmAscent = usWinAscent and tmDescent = usWinDescent of the OS/2 table
  // scaled to the em (the hhea ascender and descender when both are 0, the
  // face's own ascender and descender for a font without OS/2 table).
  // tmHeight = tmAscent + tmDescent is the cell height of every text extent.
  int32_t tmHeight = 0, tmAscent = 0, tmDescent = 0;
  int32_t tmInternalLeading = 0;  // tmHeight - em
  int32_t tmExternalLeading = 0;  // hhea line gap beyond the cell, never negative
  int32_t tmAveCharWidth = 0;     // OS/2 xAvgCharWidth
  int32_t tmMaxCharWidth = 0;     // hhea advanceWidthMax
  int32_t tmWeight = 400;         // OS/2 usWeightClass
  // Characters described by the font, in code page 1252 (see CharSet):
  // tmFirstChar is the OS/2 first character index minus 1 (31 for a font that
  // starts at the space), tmLastChar the lesser of the OS/2 last character
  // index and 255. A symbol font applies the same rule to its 0xF000 range.
  // A font without OS/2 table takes the first and last mapped codes.
  uint8_t tmFirstChar = 0, tmLastChar = 0;
  uint8_t tmDefaultChar = 0, tmBreakChar = 32;
  uint8_t tmItalic = 0;
  // TMPF_TRUETYPE only for TrueType (glyf) outlines: CFF, Type 1 and bitmap
  // fonts lack it. TMPF_VECTOR for every scalable font. TMPF_FIXED_PITCH for
  // a variable-pitch font.
  uint8_t tmPitchAndFamily = 0;
  // SYMBOL_CHARSET for a font whose only Unicode-like mapping is the symbol
  // cmap (3,0) or whose family is "Symbol"; ANSI_CHARSET otherwise.
  uint8_t tmCharSet = ANSI_CHARSET;
};

// The outline metrics the library reads, in pixels unless noted.
struct TOutlineTextMetric {
  // Embedding rights mapped from the OS/2 fsType: bit 0 (value 1) is set when
  // the font may not be embedded (Restricted License 0x0002 without a less
  // restrictive bit, or Bitmap Embedding Only 0x0200); bit 1 (value 2) when it
  // may be embedded for preview and print only (0x0004 alone). A font without
  // OS/2 table is installable (0).
  uint32_t otmfsType = 0;
  int32_t otmItalicAngle = 0;  // post italicAngle in tenths of a degree, rounded
  uint32_t otmEMSquare = 0;    // font units per em
  int32_t otmAscent = 0, otmDescent = 0;  // OS/2 typographic ascender, descender
  // post underlineThickness and underlinePosition (negative = below the
  // baseline), scaled and rounded.
  int32_t otmsUnderscoreSize = 0, otmsUnderscorePosition = 0;
  // OS/2 yStrikeoutSize and yStrikeoutPosition, scaled and rounded.
  int32_t otmsStrikeoutSize = 0, otmsStrikeoutPosition = 0;
};

// A character's horizontal extent: A (left bearing) + B (ink width) + C
// (right bearing) is its advance width in pixels.
struct TABC {
  int32_t abcA = 0;
  uint32_t abcB = 0;
  int32_t abcC = 0;
};

// One face measured at one em. Obtained from FontMetricsOf; owned by the font
// services and valid until the program ends. Measuring text with it touches
// neither the file system nor the font's glyphs: everything but CharABC and
// FontData is computed once, when the object is made.
class TFontMetrics {
public:
  TFontMetrics(std::shared_ptr<const TFontFace> aFace, int32_t aHeight);

  const TTextMetric& TextMetric() const { return FTextMetric; }
  const TOutlineTextMetric& OutlineTextMetric() const { return FOutline; }
  // The em in pixels.
  int32_t Em() const { return FEm; }
  // True for TrueType (glyf) outlines: the fonts a PDF can name as /TrueType.
  bool IsTrueType() const { return (FTextMetric.tmPitchAndFamily & TMPF_TRUETYPE) != 0; }
  // The family of the face actually measured: the requested family, or the
  // one the system substituted when it is not installed.
  const std::string& FamilyName() const;
  const std::string& FilePath() const;
  // The face's index in its file (0 but in a collection).
  int32_t FaceIndex() const;

  // Advance of the character aCode (code page 1252, or the symbol range of a
  // symbol font) in pixels. Codes the font does not map take the width of its
  // missing-character glyph.
  int32_t CharWidth(uint8_t aCode) const { return FWidths[aCode]; }
  // ABC widths of the codes aFirst..aLast, appended to aOut. False (and
  // nothing appended) when the range is empty or the glyphs cannot be read.
  bool CharABCWidths(uint8_t aFirst, uint8_t aLast, std::vector<TABC>& aOut) const;
  // Width of aCode in thousandths of an em as a font resource declares it:
  // round(whole-pixel advance at the measuring em * 7.5), the same at every em.
  int32_t CharWidthThousandths(uint8_t aCode) const { return FThousandths[aCode]; }
  // Width of aText in thousandths of an em: the sum of its characters'
  // CharWidthThousandths. Times the font size in points / 1000 it is the
  // width drawn in points. (The cell height of any text is tmHeight.)
  int64_t TextWidthThousandths(std::string_view aText) const {
    int64_t w = 0;
    for (unsigned char c : aText) w += FThousandths[c];
    return w;
  }

  // The font file's bytes: the whole file for a single font; for a face of a
  // TrueType collection, a standalone TrueType file built from that face's
  // tables. Empty when the file cannot be read. Reads the file on each call.
  std::vector<uint8_t> FontData() const;

private:
  std::shared_ptr<const TFontFace> FFace;
  int32_t FEm = 0;
  TTextMetric FTextMetric;
  TOutlineTextMetric FOutline;
  std::array<int32_t, 256> FWidths{};
  std::array<int32_t, 256> FThousandths{};
};

// The metrics of a family in a style at a pixel height (see the em rule
// above). Only bold and italic of aStyle choose the face; underline and
// strike-out do not change measurement. The family is found through
// fontconfig: "Arial", "Times New Roman" and "Courier New" resolve to their
// metric-compatible Liberation families; a family that is not installed is
// measured with the face fontconfig substitutes (so text is laid out as a
// system without that family would draw it). Results are cached per family
// (letter case ignored), style and height for the life of the program: the
// first call for a face reads its tables once; later calls are a look-up.
// Throws Vellix::Exception when no font at all can be opened. Thread-safe.
const TFontMetrics& FontMetricsOf(std::string_view aFamily, TFontStyles aStyle, int32_t aHeight);
inline const TFontMetrics& FontMetricsOf(const TFont& aFont) {
  return FontMetricsOf(aFont.Name(), aFont.Style(), aFont.Height());
}

// Makes the font file aPath available to FontMetricsOf in addition to the
// installed fonts (for fonts an application ships itself). Returns false
// when fontconfig cannot use the file. Measurements cached before stay valid.
bool AddFontFile(const std::string& aPath);

}  // namespace Vellix
