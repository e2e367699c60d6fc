#pragma once
// One line of Unicode text turned into positioned glyphs: reordered for
// display (the bidirectional algorithm, UAX #9, from ICU), cut into runs of
// one direction, one script and one face, and each run shaped by HarfBuzz
// (kerning, ligatures, marks, joining, reordering).

#include <hb.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Vellix {

class TShapingFace;

struct TShapedGlyph {
  uint32_t Glyph = 0;
  // The first UTF-16 unit of the characters the glyph stands for.
  uint32_t Cluster = 0;
  // Thousandths of an em: the pen's advance and the glyph's offset from it.
  double Advance = 0, XOffset = 0, YOffset = 0;
};

struct TGlyphRun {
  const TShapingFace* Face = nullptr;
  bool RightToLeft = false;
  // The run's characters, UTF-16 units [Start, End) of the line.
  uint32_t Start = 0, End = 0;
  std::vector<TShapedGlyph> Glyphs;  // left to right as drawn
};

struct TShapedLine {
  std::vector<TGlyphRun> Runs;  // left to right as drawn
  double Width = 0;             // thousandths of an em
};

// Shaped words kept for reuse: text in reports repeats its words far more
// than its lines. Words (up to and including the blanks after them) are
// shaped alone, which is what shaping across a blank gives in every script:
// joining, reordering and ligatures stop there. Holds at most a fixed number
// of words (it starts afresh when full), so its memory stays flat.
class TShapeCache {
public:
  TShapeCache() = default;
  ~TShapeCache();
  TShapeCache(const TShapeCache&) = delete;
  TShapeCache& operator=(const TShapeCache&) = delete;
  // A HarfBuzz buffer for the shaping of its owner's lines.
  hb_buffer_t* Buffer();
  // The glyphs of aWord shaped alone (clusters from the word's start), from
  // the cache or shaped now with aBuffer.
  const std::vector<TShapedGlyph>& Shape(hb_buffer_t* aBuffer, const TShapingFace& aFace, hb_script_t aScript,
                                         bool aRightToLeft, std::u16string_view aWord);

private:
  static constexpr size_t kLimit = 1 << 14;
  std::unordered_map<std::u16string, std::vector<TShapedGlyph>> FWords;
  std::u16string FKey;
  hb_buffer_t* FBuffer = nullptr;
};

// The face that draws a character: the chosen font's, or the fallback for a
// character it lacks. Must return a face for every character.
using TFaceChooser = std::function<const TShapingFace&(char32_t)>;

// Shapes aLine (no line ends in it). aDirection chooses the paragraph
// direction: 1 right to left, 0 left to right, -1 from the first strong
// character (left to right without one).
// With aCache, words are shaped through it.
TShapedLine ShapeLine(std::u16string_view aLine, const TFaceChooser& aFaceFor, int aDirection = -1,
                      TShapeCache* aCache = nullptr);

}  // namespace Vellix
