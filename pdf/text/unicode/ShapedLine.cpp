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

TGlyphRun Shape(hb_buffer_t* aBuffer, std::u16string_view aLine, const TItem& aItem, bool aRightToLeft) {
  hb_buffer_clear_contents(aBuffer);
  // The whole line is the context, so that joining and shaping across the
  // item's ends see their neighbours.
  hb_buffer_add_utf16(aBuffer, reinterpret_cast<const uint16_t*>(aLine.data()), int(aLine.size()),
                      unsigned(aItem.Start), int(aItem.End - aItem.Start));
  hb_buffer_set_direction(aBuffer, aRightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_set_script(aBuffer, HarfBuzzScript(aItem.Script));
  hb_buffer_guess_segment_properties(aBuffer);
  hb_shape(aItem.Face->Font(), aBuffer, nullptr, 0);

  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(aBuffer, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(aBuffer, nullptr);
  const double scale = 1000.0 / aItem.Face->UnitsPerEm();
  TGlyphRun run;
  run.Face = aItem.Face;
  run.RightToLeft = aRightToLeft;
  run.Start = uint32_t(aItem.Start);
  run.End = uint32_t(aItem.End);
  run.Glyphs.reserve(count);
  for (unsigned i = 0; i < count; ++i)
    run.Glyphs.push_back({infos[i].codepoint, infos[i].cluster, positions[i].x_advance * scale,
                          positions[i].x_offset * scale, positions[i].y_offset * scale});
  return run;
}

}  // namespace

TShapedLine ShapeLine(std::u16string_view aLine, const TFaceChooser& aFaceFor, int aDirection) {
  TShapedLine line;
  if (aLine.empty()) return line;
  std::unique_ptr<hb_buffer_t, TBufferDeleter> buffer(hb_buffer_create());
  for (const TDirectionRun& direction : VisualRuns(aLine, aDirection)) {
    std::vector<TItem> items = Itemize(aLine, direction, aFaceFor);
    // Right-to-left items follow one another from the right.
    if (direction.RightToLeft) std::reverse(items.begin(), items.end());
    for (const TItem& item : items) {
      line.Runs.push_back(Shape(buffer.get(), aLine, item, direction.RightToLeft));
      for (const TShapedGlyph& glyph : line.Runs.back().Glyphs) line.Width += glyph.Advance;
    }
  }
  return line;
}

}  // namespace Vellix
