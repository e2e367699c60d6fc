#include "platform/fonts/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_TYPE1_TABLES_H

#include <strings.h>

#include <algorithm>

#include <cmath>
#include <cstdio>

#include <vellix/CodePage.h>
#include <vellix/Exception.h>
#include "platform/fonts/Sfnt.h"

namespace Vellix {

namespace {

// One FreeType library for the process; faces are created and used under the
// font services' lock.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) throw Exception("FreeType cannot be initialised");
    return lib;
  }();
  return library;
}

std::vector<uint8_t> ReadWholeFile(const std::string& aPath) {
  std::vector<uint8_t> data;
  std::FILE* f = std::fopen(aPath.c_str(), "rb");
  if (!f) return data;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) data.clear();
  return data;
}

bool StartsWithCollectionTag(const std::string& aPath) {
  std::FILE* f = std::fopen(aPath.c_str(), "rb");
  if (!f) return false;
  char tag[4] = {};
  const bool isCollection = std::fread(tag, 1, 4, f) == 4 && tag[0] == 't' && tag[1] == 't' && tag[2] == 'c' && tag[3] == 'f';
  std::fclose(f);
  return isCollection;
}

}  // namespace

struct TFontFace::TImpl {
  FT_Face Face = nullptr;
  bool InkRead = false, InkOk = false;
  std::array<int32_t, 256> InkMin{}, InkMax{};
};

TFontFace::TFontFace(const std::string& aPath, int32_t aFaceIndex)
    : Path(aPath), FaceIndex(aFaceIndex), FImpl(std::make_unique<TImpl>()) {
  if (FT_New_Face(Library(), aPath.c_str(), aFaceIndex, &FImpl->Face) != 0)
    throw Exception("Cannot open font file: " + aPath);
  FT_Face face = FImpl->Face;
  Family = face->family_name ? face->family_name : "";
  Scalable = FT_IS_SCALABLE(face);
  FixedPitch = FT_IS_FIXED_WIDTH(face);
  Italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  FT_ULong glyfLength = 0;
  TrueType = Scalable && FT_IS_SFNT(face) && FT_Load_Sfnt_Table(face, TTAG_glyf, 0, nullptr, &glyfLength) == 0;
  InCollection = FT_IS_SFNT(face) && StartsWithCollectionTag(aPath);
  ReadTables();
  ReadVdmx();
  ReadCharacterMap();
  // What is read is kept; the face (and the file FreeType maps for it) goes,
  // since the glyphs are seldom needed again.
  CloseFace();
}

TFontFace::~TFontFace() { CloseFace(); }

void TFontFace::CloseFace() const {
  if (!FImpl || !FImpl->Face) return;
  FT_Done_Face(FImpl->Face);
  FImpl->Face = nullptr;
}

void TFontFace::ReadVdmx() {
  FT_Face face = FImpl->Face;
  FT_ULong length = 0;
  if (!TrueType || FT_Load_Sfnt_Table(face, TTAG_VDMX, 0, nullptr, &length) != 0 || length < 6) return;
  std::vector<uint8_t> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_VDMX, 0, table.data(), &length) != 0) return;
  auto u16 = [&](size_t aAt) { return aAt + 2 <= table.size() ? uint32_t(table[aAt] << 8 | table[aAt + 1]) : 0u; };
  const uint32_t ratios = u16(4);
  // The group of the first ratio range that holds 1:1, or of the default range (0:0).
  size_t group = 0;
  for (uint32_t r = 0; r < ratios && group == 0; ++r) {
    const size_t at = 6 + 4 * r;
    if (at + 4 > table.size()) return;
    const uint8_t x = table[at + 1], yStart = table[at + 2], yEnd = table[at + 3];
    const bool squarePixels = x == 0 ? yStart == 0 && yEnd == 0 : yStart <= x && x <= yEnd;
    if (squarePixels) group = u16(6 + 4 * ratios + 2 * r);
  }
  if (group == 0 || group + 4 > table.size()) return;
  const uint32_t records = u16(group);
  for (uint32_t i = 0; i < records; ++i) {
    const size_t at = group + 4 + 6 * i;
    if (at + 6 > table.size()) break;
    Vdmx.push_back({int32_t(u16(at)), int32_t(int16_t(u16(at + 2))), int32_t(int16_t(u16(at + 4)))});
  }
}

void TFontFace::ReadTables() {
  FT_Face face = FImpl->Face;
  if (!Scalable) {
    // A bitmap-only face: its best strike stands for the outlines, in pixels.
    if (face->num_fixed_sizes > 0) FT_Select_Size(face, 0);
    UnitsPerEm = face->size ? std::max<int32_t>(1, int32_t(face->size->metrics.y_ppem)) : 1;
    WinAscent = HheaAscender = TypoAscender = face->size ? int32_t(face->size->metrics.ascender / 64) : 0;
    WinDescent = face->size ? int32_t(-face->size->metrics.descender / 64) : 0;
    HheaDescender = TypoDescender = -WinDescent;
    return;
  }
  UnitsPerEm = face->units_per_EM ? face->units_per_EM : 1000;
  HheaAscender = face->ascender;
  HheaDescender = face->descender;
  HheaLineGap = std::max<int32_t>(0, face->height - (face->ascender - face->descender));
  MaxAdvance = face->max_advance_width;
  UnderlinePosition = face->underline_position;
  UnderlineThickness = face->underline_thickness;
  TypoAscender = HheaAscender;
  TypoDescender = HheaDescender;
  WinAscent = HheaAscender;
  WinDescent = -HheaDescender;

  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
    HheaAscender = hhea->Ascender;
    HheaDescender = hhea->Descender;
    HheaLineGap = hhea->Line_Gap;
    MaxAdvance = hhea->advance_Width_Max;
    WinAscent = HheaAscender;
    WinDescent = -HheaDescender;
  }
  if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST))) {
    UnderlinePosition = int16_t(post->underlinePosition);
    UnderlineThickness = int16_t(post->underlineThickness);
    ItalicAngleTenths = int32_t(std::nearbyint(double(post->italicAngle) / 65536.0 * 10.0));
  } else {
    PS_FontInfoRec info;
    if (FT_Get_PS_Font_Info(face, &info) == 0)
      ItalicAngleTenths = int32_t(std::nearbyint(double(info.italic_angle) * 10.0));
  }
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF) {
    HasOS2 = true;
    if (os2->usWinAscent != 0 || os2->usWinDescent != 0) {
      WinAscent = os2->usWinAscent;
      WinDescent = os2->usWinDescent;
    }
    TypoAscender = os2->sTypoAscender;
    TypoDescender = os2->sTypoDescender;
    AvgCharWidth = os2->xAvgCharWidth;
    Weight = os2->usWeightClass;
    StrikeoutSize = os2->yStrikeoutSize;
    StrikeoutPosition = os2->yStrikeoutPosition;
    FsType = os2->fsType;
    FirstCharIndex = os2->usFirstCharIndex;
    LastCharIndex = os2->usLastCharIndex;
    if (os2->version >= 2) {
      DefaultChar = os2->usDefaultChar;
      BreakChar = os2->usBreakChar;
    }
  } else {
    StrikeoutSize = UnderlineThickness;
    StrikeoutPosition = HheaAscender / 3;
  }
}

void TFontFace::ReadCharacterMap() {
  FT_Face face = FImpl->Face;
  FT_CharMap unicode = nullptr, symbol = nullptr, builtIn = nullptr;
  for (int i = 0; i < face->num_charmaps; ++i) {
    FT_CharMap map = face->charmaps[i];
    if (map->encoding == FT_ENCODING_UNICODE && !unicode) unicode = map;
    if (map->encoding == FT_ENCODING_MS_SYMBOL && !symbol) symbol = map;
    if (map->encoding == FT_ENCODING_ADOBE_CUSTOM && !builtIn) builtIn = map;
  }
  // A PostScript symbol font (Standard Symbols PS, the standard Symbol's
  // metric twin) is recognised by its name and its built-in encoding.
  const bool postScriptSymbol = builtIn && strcasestr(Family.c_str(), "Symbol") != nullptr;
  Symbol = (symbol && !unicode) || strcasecmp(Family.c_str(), "Symbol") == 0 || postScriptSymbol;
  if (postScriptSymbol && !symbol) {
    // A PostScript symbol font (the standard Symbol's metric twin) is
    // addressed by the codes of its own built-in encoding, as the standard
    // font is.
    FT_Set_Charmap(face, builtIn);
    for (uint32_t c = 0; c < 256; ++c) Glyph[c] = FT_Get_Char_Index(face, c);
  } else if (Symbol && symbol) {
    // Symbol fonts are addressed through the private-use range 0xF000..0xF0FF
    // that the (3,0) cmap uses; some map the bare codes as well.
    FT_Set_Charmap(face, symbol);
    for (uint32_t c = 0; c < 256; ++c) {
      Glyph[c] = FT_Get_Char_Index(face, 0xF000 + c);
      if (Glyph[c] == 0) Glyph[c] = FT_Get_Char_Index(face, c);
    }
  } else if (unicode) {
    FT_Set_Charmap(face, unicode);
    for (uint32_t c = 0; c < 256; ++c) Glyph[c] = FT_Get_Char_Index(face, Symbol ? c : AnsiToUnicode(uint8_t(c)));
  } else {
    if (face->charmap == nullptr && face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
    for (uint32_t c = 0; c < 256; ++c) Glyph[c] = face->charmap ? FT_Get_Char_Index(face, c) : 0;
  }

  for (uint32_t c = 0; c < 256; ++c) {
    if (Scalable) {
      FT_Fixed advance = 0;
      FT_Get_Advance(face, Glyph[c], FT_LOAD_NO_SCALE, &advance);
      Advance[c] = int32_t(advance);
    } else {
      Advance[c] = FT_Load_Glyph(face, Glyph[c], FT_LOAD_DEFAULT) == 0 ? int32_t(face->glyph->advance.x / 64) : 0;
    }
  }

  if (!HasOS2) {
    // Without OS/2 ranges the mapped codes themselves give the range.
    int first = -1, last = -1;
    for (int c = 0; c < 256; ++c)
      if (Glyph[size_t(c)] != 0) {
        if (first < 0) first = c;
        last = c;
      }
    FirstCharIndex = uint32_t(std::max(first, 1));
    LastCharIndex = uint32_t(std::max(last, 0));
    if (Symbol) FirstCharIndex += 0xF000, LastCharIndex += 0xF000;
  }
}

bool TFontFace::InkExtents(std::array<int32_t, 256>& aMin, std::array<int32_t, 256>& aMax) const {
  TImpl& impl = *FImpl;
  if (!impl.InkRead) {
    impl.InkRead = true;
    impl.InkOk = FT_New_Face(Library(), Path.c_str(), FaceIndex, &impl.Face) == 0;
    if (impl.InkOk && !Scalable && impl.Face->num_fixed_sizes > 0) FT_Select_Size(impl.Face, 0);
    for (size_t c = 0; c < 256 && impl.InkOk; ++c) {
      const FT_Int32 flags = Scalable ? FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP : FT_LOAD_DEFAULT;
      if (FT_Load_Glyph(impl.Face, Glyph[c], flags) != 0) {
        impl.InkOk = false;
        break;
      }
      const FT_Glyph_Metrics& m = impl.Face->glyph->metrics;
      const int32_t unit = Scalable ? 1 : 64;
      impl.InkMin[c] = int32_t(m.horiBearingX / unit);
      impl.InkMax[c] = int32_t((m.horiBearingX + m.width) / unit);
    }
    CloseFace();
  }
  if (!impl.InkOk) return false;
  aMin = impl.InkMin;
  aMax = impl.InkMax;
  return true;
}

std::vector<uint8_t> TFontFace::FontData() const {
  std::vector<uint8_t> file = ReadWholeFile(Path);
  if (!InCollection || file.empty()) return file;
  const std::vector<TSfntTable> tables = ReadSfntTables(file, uint32_t(FaceIndex));
  if (tables.empty()) return {};
  return BuildSfnt(tables, TrueType ? 0x00010000 : SfntTag("OTTO"));
}

}  // namespace Vellix
