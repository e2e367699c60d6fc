#include "text/unicode/ShapedLine.h"

#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <memory>

#include "text/unicode/ShapingFace.h"

namespace Vellix {

namespace {

struct TBidiDeleter {
  void operator()(UBiDi* aBidi) const { ubidi_close(aBidi); }
};

struct TBufferDeleter {
  void operator()(hb_buffer_t* aBuffer) const { hb_buffer_destroy(aBuffer); }
};

// A stretch of one direction, as the bidirectional algorithm orders them.
struct TDirectionRun {
  int32_t Start, Length;
  bool RightToLeft;
};

std::vector<TDirectionRun> VisualRuns(std::u16string_view aLine, int aDirection) {
  std::vector<TDirectionRun> runs;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UBiDi, TBidiDeleter> bidi(ubidi_openSized(int32_t(aLine.size()), 0, &status));
  const UBiDiLevel level = aDirection < 0 ? UBIDI_DEFAULT_LTR : UBiDiLevel(aDirection);
  ubidi_setPara(bidi.get(), reinterpret_cast<const UChar*>(aLine.data()), int32_t(aLine.size()), level, nullptr,
                &status);
  const int32_t count = U_SUCCESS(status) ? ubidi_countRuns(bidi.get(), &status) : 0;
  if (U_FAILURE(status)) return {{0, int32_t(aLine.size()), false}};
  for (int32_t i = 0; i < count; ++i) {
    int32_t start = 0, length = 0;
    const UBiDiDirection direction = ubidi_getVisualRun(bidi.get(), i, &start, &length);
    runs.push_back({start, length, direction == UBIDI_RTL});
  }
  return runs;
}

// Characters that belong to the character before them: combining marks,
// joiners and variation selectors stay in its face and its script.
bool JoinsPrevious(char32_t aCharacter) {
  const int8_t type = u_charType(UChar32(aCharacter));
  return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK ||
         aCharacter == 0x200C || aCharacter == 0x200D || (aCharacter >= 0xFE00 && aCharacter <= 0xFE0F);
}

// Scripts that take the script of their neighbours.
bool IsNeutralScript(UScriptCode aScript) {
  return aScript == USCRIPT_COMMON || aScript == USCRIPT_INHERITED || aScript == USCRIPT_UNKNOWN;
}

// A piece of a direction run in one face and one script, logical order.
struct TItem {
  int32_t Start, End;
  const TShapingFace* Face;
  UScriptCode Script;
};

std::vector<TItem> Itemize(std::u16string_view aLine, const TDirectionRun& aRun, const TFaceChooser& aFaceFor) {
  std::vector<TItem> items;
  const int32_t end = aRun.Start + aRun.Length;
  for (int32_t i = aRun.Start; i < end;) {
    const int32_t start = i;
    UChar32 c = 0;
    U16_NEXT(aLine.data(), i, end, c);
    UErrorCode status = U_ZERO_ERROR;
    UScriptCode script = uscript_getScript(c, &status);
    if (U_FAILURE(status)) script = USCRIPT_COMMON;
    if (!items.empty() && JoinsPrevious(char32_t(c))) {
      items.back().End = i;
      continue;
    }
    const TShapingFace* face = &aFaceFor(char32_t(c));
    // Blanks, digits and punctuation stay in the face before them when it
    // has them, so that a line of another script is not cut at every blank.
    if (!items.empty() && face != items.back().Face && IsNeutralScript(script) &&
        items.back().Face->Covers(char32_t(c)))
      face = items.back().Face;
    if (!items.empty()) {
      TItem& last = items.back();
      if (IsNeutralScript(script)) script = last.Script;
      if (IsNeutralScript(last.Script)) last.Script = script;
      if (last.Face == face && last.Script == script) {
        last.End = i;
        continue;
      }
    }
    items.push_back({start, i, face, script});
  }
  return items;
}

hb_script_t HarfBuzzScript(UScriptCode aScript) {
  if (IsNeutralScript(aScript)) return HB_SCRIPT_COMMON;
  return hb_script_from_string(uscript_getShortName(aScript), -1);
}

// Shapes aLine[aStart, aStart + aLength) with the whole of aLine as context
// and appends its glyphs, clusters counted from aLine's start less aBase.
void ShapeText(hb_buffer_t* aBuffer, const TShapingFace& aFace, hb_script_t aScript, bool aRightToLeft,
               std::u16string_view aLine, size_t aStart, size_t aLength, uint32_t aBase,
               std::vector<TShapedGlyph>& aGlyphs) {
  hb_buffer_clear_contents(aBuffer);
  hb_buffer_add_utf16(aBuffer, reinterpret_cast<const uint16_t*>(aLine.data()), int(aLine.size()), unsigned(aStart),
                      int(aLength));
  hb_buffer_set_direction(aBuffer, aRightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_set_script(aBuffer, aScript);
  hb_buffer_guess_segment_properties(aBuffer);
  hb_shape(aFace.Font(), aBuffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(aBuffer, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(aBuffer, nullptr);
  const double scale = 1000.0 / aFace.UnitsPerEm();
  for (unsigned i = 0; i < count; ++i)
    aGlyphs.push_back({infos[i].codepoint, infos[i].cluster - aBase, positions[i].x_advance * scale,
                       positions[i].x_offset * scale, positions[i].y_offset * scale});
}

TGlyphRun Shape(hb_buffer_t* aBuffer, std::u16string_view aLine, const TItem& aItem, bool aRightToLeft,
                TShapeCache* aCache) {
  TGlyphRun run;
  run.Face = aItem.Face;
  run.RightToLeft = aRightToLeft;
  run.Start = uint32_t(aItem.Start);
  run.End = uint32_t(aItem.End);
  const hb_script_t script = HarfBuzzScript(aItem.Script);
  if (!aCache) {
    // The whole line is the context, so that shaping across the item's ends
    // sees the neighbours.
    ShapeText(aBuffer, *aItem.Face, script, aRightToLeft, aLine, size_t(aItem.Start),
              size_t(aItem.End - aItem.Start), 0, run.Glyphs);
    return run;
  }
  // Word by word, each word with the blanks after it; right-to-left words
  // follow one another from the right.
  std::vector<std::pair<size_t, size_t>> words;
  for (size_t start = size_t(aItem.Start); start < size_t(aItem.End);) {
    size_t end = start;
    while (end < size_t(aItem.End) && aLine[end] != u' ') ++end;
    while (end < size_t(aItem.End) && aLine[end] == u' ') ++end;
    words.emplace_back(start, end);
    start = end;
  }
  if (aRightToLeft) std::reverse(words.begin(), words.end());
  for (const auto& [start, end] : words) {
    const std::vector<TShapedGlyph>& glyphs =
        aCache->Shape(aBuffer, *aItem.Face, script, aRightToLeft, aLine.substr(start, end - start));
    for (TShapedGlyph glyph : glyphs) {
      glyph.Cluster += uint32_t(start);
      run.Glyphs.push_back(glyph);
    }
  }
  return run;
}

}  // namespace

TShapeCache::~TShapeCache() {
  if (FBuffer) hb_buffer_destroy(FBuffer);
}

hb_buffer_t* TShapeCache::Buffer() {
  if (!FBuffer) FBuffer = hb_buffer_create();
  return FBuffer;
}

const std::vector<TShapedGlyph>& TShapeCache::Shape(hb_buffer_t* aBuffer, const TShapingFace& aFace,
                                                     hb_script_t aScript, bool aRightToLeft,
                                                     std::u16string_view aWord) {
  // The key: the face, the script and the direction, then the word.
  FKey.clear();
  const auto face = reinterpret_cast<uintptr_t>(&aFace);
  for (int shift = 0; shift < 64; shift += 16) FKey += char16_t((face >> shift) & 0xFFFF);
  FKey += char16_t(uint32_t(aScript) >> 16);
  FKey += char16_t(uint32_t(aScript) & 0xFFFF);
  FKey += aRightToLeft ? u'R' : u'L';
  FKey += aWord;
  auto found = FWords.find(FKey);
  if (found != FWords.end()) return found->second;
  if (FWords.size() >= kLimit) FWords.clear();
  std::vector<TShapedGlyph> glyphs;
  ShapeText(aBuffer, aFace, aScript, aRightToLeft, aWord, 0, aWord.size(), 0, glyphs);
  return FWords.emplace(FKey, std::move(glyphs)).first->second;
}

TShapedLine ShapeLine(std::u16string_view aLine, const TFaceChooser& aFaceFor, int aDirection, TShapeCache* aCache) {
  TShapedLine line;
  if (aLine.empty()) return line;
  std::unique_ptr<hb_buffer_t, TBufferDeleter> own(aCache ? nullptr : hb_buffer_create());
  hb_buffer_t* buffer = aCache ? aCache->Buffer() : own.get();
  for (const TDirectionRun& direction : VisualRuns(aLine, aDirection)) {
    std::vector<TItem> items = Itemize(aLine, direction, aFaceFor);
    // Right-to-left items follow one another from the right.
    if (direction.RightToLeft) std::reverse(items.begin(), items.end());
    for (const TItem& item : items) {
      line.Runs.push_back(Shape(buffer, aLine, item, direction.RightToLeft, aCache));
      for (const TShapedGlyph& glyph : line.Runs.back().Glyphs) line.Width += glyph.Advance;
    }
  }
  return line;
}

}  // namespace Vellix
