#include "text/unicode/ShapingFace.h"

#include <hb-ot.h>
#include <hb-subset.h>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>

#include <vellix/Exception.h>

namespace Vellix {

namespace {

constexpr hb_tag_t kGlyf = HB_TAG('g', 'l', 'y', 'f');
constexpr hb_tag_t kOs2 = HB_TAG('O', 'S', '/', '2');

uint16_t ReadUint16(const char* aData) {
  return uint16_t((uint8_t(aData[0]) << 8) | uint8_t(aData[1]));
}

// The rule of the measured fonts: Restricted License (0x0002) without a less
// restrictive bit, or Bitmap Embedding Only (0x0200).
bool ForbidsEmbedding(hb_face_t* aFace) {
  hb_blob_t* table = hb_face_reference_table(aFace, kOs2);
  unsigned length = 0;
  const char* data = hb_blob_get_data(table, &length);
  bool forbidden = false;
  if (length >= 10) {
    const uint16_t fsType = ReadUint16(data + 8);
    forbidden = ((fsType & 0x000F) == 0x0002) || (fsType & 0x0200) != 0;
  }
  hb_blob_destroy(table);
  return forbidden;
}

std::string NameOf(hb_face_t* aFace, hb_ot_name_id_t aName) {
  char buffer[128];
  unsigned size = sizeof buffer;
  if (hb_ot_name_get_utf8(aFace, aName, HB_LANGUAGE_INVALID, &size, buffer) == 0) return {};
  return std::string(buffer, size);
}

}  // namespace

TShapingFace::TShapingFace(const TFaceLocation& aLocation) : FLocation(aLocation) {
  FBlob = hb_blob_create_from_file_or_fail(aLocation.Path.c_str());
  if (!FBlob) throw Exception("Can't open file: " + aLocation.Path);
  FFace = hb_face_create(FBlob, unsigned(aLocation.Index));
  FFont = hb_font_create(FFace);
  FUnitsPerEm = int32_t(hb_face_get_upem(FFace));
  hb_font_set_scale(FFont, FUnitsPerEm, FUnitsPerEm);
  hb_font_make_immutable(FFont);
  hb_blob_t* glyf = hb_face_reference_table(FFace, kGlyf);
  FTrueType = hb_blob_get_length(glyf) > 0;
  hb_blob_destroy(glyf);
  FEmbeddingForbidden = ForbidsEmbedding(FFace);
  FPostScriptName = NameOf(FFace, HB_OT_NAME_ID_POSTSCRIPT_NAME);
  if (FPostScriptName.empty()) FPostScriptName = NameOf(FFace, HB_OT_NAME_ID_FONT_FAMILY);
  if (FPostScriptName.empty()) FPostScriptName = "Font";
  hb_font_extents_t extents{};
  hb_font_get_h_extents(FFont, &extents);
  FAscent = int32_t(std::lround(extents.ascender * 1000.0 / FUnitsPerEm));
  FDescent = int32_t(std::lround(-extents.descender * 1000.0 / FUnitsPerEm));
}

TShapingFace::~TShapingFace() {
  hb_font_destroy(FFont);
  hb_face_destroy(FFace);
  hb_blob_destroy(FBlob);
}

bool TShapingFace::Covers(char32_t aCharacter) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(FFont, aCharacter, &glyph) && glyph != 0;
}

double TShapingFace::GlyphAdvance(uint32_t aGlyph) const {
  return hb_font_get_glyph_h_advance(FFont, aGlyph) * 1000.0 / FUnitsPerEm;
}

std::vector<uint8_t> TShapingFace::Subset(const std::vector<uint32_t>& aGlyphs) const {
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  if (!input) return {};
  hb_set_t* glyphs = hb_subset_input_glyph_set(input);
  for (uint32_t glyph : aGlyphs) hb_set_add(glyphs, glyph);
  // The content names glyphs by their ids in the whole font: they must not
  // move. The empty glyphs in between cost a few bytes each once compressed.
  hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
  // A reader needs outlines and metrics only; shaping has been done.
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (hb_tag_t tag : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
                       HB_TAG('k', 'e', 'r', 'n'), HB_TAG('m', 'o', 'r', 'x'), HB_TAG('D', 'S', 'I', 'G')})
    hb_set_add(dropped, tag);
  std::vector<uint8_t> program;
  if (hb_face_t* subset = hb_subset_or_fail(FFace, input)) {
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    program.assign(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data) + length);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
  }
  hb_subset_input_destroy(input);
  return program;
}

const TShapingFace& ShapingFaceAt(const TFaceLocation& aLocation) {
  static std::mutex lock;
  static std::map<std::pair<std::string, int32_t>, std::unique_ptr<TShapingFace>> faces;
  const std::lock_guard<std::mutex> guard(lock);
  auto& face = faces[{aLocation.Path, aLocation.Index}];
  if (!face) face = std::make_unique<TShapingFace>(aLocation);
  return *face;
}

}  // namespace Vellix
