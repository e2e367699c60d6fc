#pragma once
// TUnicodeText: the canvas's text operations for a document whose text is
// UTF-8 (TextEncoding teUtf8). Each line is shaped (see ShapedLine.h) in the
// canvas font, with the face fontconfig prefers for the characters that font
// lacks; what is drawn and what is measured come from the same shaping, so a
// width is the width drawn. Text boxes break lines at the opportunities of
// UAX #14 (ICU), and truncation never cuts inside a grapheme cluster.
//
// Glyphs are shown through Type0 fonts (UnicodeFont.h) written at the end of
// the document. A cluster whose glyphs cannot stand for its characters on
// their own (a ligature met before as something else, reordered Indic
// syllables) carries them as /ActualText, so that copying gives them back.
//
// Units: widths in points or in the document's length unit as named.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <vellix/Font.h>

#include "text/LineBreaker.h"
#include "text/unicode/ShapedLine.h"

namespace Vellix {

class TPdfCanvas;
class TShapingFace;

class TUnicodeText {
public:
  explicit TUnicodeText(TPdfCanvas& aCanvas);
  ~TUnicodeText();

  // A document begins: the characters reported missing may be reported again.
  void Clear();

  // TextOut of UTF-8 Text with aWordSpacing points added after each blank,
  // in the paragraph direction set by SetLineDirection.
  void TextOut(int32_t X, int32_t Y, std::string_view Text, long double aWordSpacing);
  // The paragraph direction of the lines drawn next (a text box's lines):
  // 1 right to left, 0 left to right, -1 (the default) from each line's
  // first strong character.
  void SetLineDirection(int aDirection) { FLineDirection = aDirection; }
  // The shaped width of Text in the canvas font, in points.
  long double WidthInPoints(std::string_view Text);
  // The same in the length unit, rounded.
  int32_t Width(std::string_view Text);
  // Cuts whole grapheme clusters from the end of aText until Width fits.
  void Truncate(std::string& aText, int32_t aMaxWidth);
  // DrawText's lines of Text in a box aWidth wide (at most aMaxLines when
  // aMaxLines > 0). Remaining counts the bytes of Text left over.
  TBrokenText Break(std::string_view Text, int32_t aWidth, int64_t aMaxLines);

private:
  // The faces of the canvas font: the face drawn and, per character it
  // lacks, the fallback.
  struct TFaceSet;
  TFaceSet& FacesOf(const TFont& aFont);
  const TShapingFace& FaceFor(TFaceSet& aSet, char32_t aCharacter);
  const TShapingFace& FindFace(TFaceSet& aSet, char32_t aCharacter);
  TShapedLine Shape(std::u16string_view aLine, int aDirection = -1);
  long double PointsOf(const TShapedLine& aLine) const;
  // Where the line from aStart ends in the paragraph that ends at aEnd: at
  // the last break opportunity that fits aWidth, measured with aAdvances
  // (each unit's share of the paragraph's shaped width, thousandths of an em).
  size_t FitLine(std::u16string_view aUnits, size_t aStart, size_t aEnd, const std::vector<double>& aAdvances,
                 const std::vector<size_t>& aOpportunities, int32_t aWidth);
  void ReportMissing(char32_t aCharacter);

  TPdfCanvas& FCanvas;
  std::map<std::string, std::unique_ptr<TFaceSet>> FFaceSets;
  TFaceSet* FLastFaceSet = nullptr;
  TShapeCache FShapeCache;
  int FLineDirection = -1;
  std::set<char32_t> FReported;
};

}  // namespace Vellix
