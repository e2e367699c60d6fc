#pragma once
// TShapingFace: one face of a font file as HarfBuzz sees it, for shaping,
// character coverage, glyph advances and subsetting. Faces are opened once
// per process (ShapingFaceAt) and never change, so the fonts of every
// document and thread share them.
//
// Units: advances and positions are in thousandths of an em, the unit of a
// PDF font's widths, computed from the font's own units without hinting, so
// that they equal what a reader draws from the same program.

#include <hb.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fonts/FontFallback.h"

namespace Vellix {

class TShapingFace {
public:
  // Opens face aLocation.Index of aLocation.Path. Throws Vellix::Exception
  // when HarfBuzz cannot read the file.
  explicit TShapingFace(const TFaceLocation& aLocation);
  ~TShapingFace();
  TShapingFace(const TShapingFace&) = delete;
  TShapingFace& operator=(const TShapingFace&) = delete;

  const TFaceLocation& Location() const { return FLocation; }
  hb_font_t* Font() const { return FFont; }
  hb_face_t* Face() const { return FFace; }
  int32_t UnitsPerEm() const { return FUnitsPerEm; }
  // Outlines in a 'glyf' table: a program a CIDFontType2 can carry.
  bool TrueTypeOutlines() const { return FTrueType; }
  // The OS/2 licence forbids embedding (restricted, or bitmaps only).
  bool EmbeddingForbidden() const { return FEmbeddingForbidden; }
  // The PostScript name (or the family when the font has none), for /BaseFont.
  const std::string& PostScriptName() const { return FPostScriptName; }
  // Whether the face maps aCharacter to a glyph of its own.
  bool Covers(char32_t aCharacter) const;
  // A glyph's advance as the font's metrics give it, in thousandths of an em.
  double GlyphAdvance(uint32_t aGlyph) const;
  // Ascent and descent (positive) of the glyph box, thousandths of an em.
  int32_t Ascent() const { return FAscent; }
  int32_t Descent() const { return FDescent; }
  // The face's program reduced to aGlyphs (glyph ids kept where they are, the
  // other glyphs empty), or an empty vector when it cannot be reduced.
  std::vector<uint8_t> Subset(const std::vector<uint32_t>& aGlyphs) const;

private:
  TFaceLocation FLocation;
  hb_blob_t* FBlob = nullptr;
  hb_face_t* FFace = nullptr;
  hb_font_t* FFont = nullptr;
  int32_t FUnitsPerEm = 1000;
  bool FTrueType = false;
  bool FEmbeddingForbidden = false;
  std::string FPostScriptName;
  int32_t FAscent = 0, FDescent = 0;
};

// The face at aLocation, opened on first request and kept until the program
// ends. Thread-safe. Throws like the constructor.
const TShapingFace& ShapingFaceAt(const TFaceLocation& aLocation);

}  // namespace Vellix
