#pragma once
// TUnicodeFont: a face drawn with Unicode text, as a PDF Type0 font with a
// CIDFontType2 descendant. The content names glyphs by their ids in the face
// (Identity-H, and CID = glyph id), so nothing on a page depends on the
// subset; the font records the glyphs it has drawn and the text each stands
// for, and the document writes it at its end (Write): the subset program, the
// widths of the drawn glyphs, the descriptor, the ToUnicode map and the font
// dictionary under the number reserved at its first use.
//
// Memory: one entry per distinct glyph drawn, bounded by the face's glyph
// count whatever the length of the document.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vellix {

class TPdfWriter;
class TShapingFace;

class TUnicodeFont {
public:
  // aObjectNo is the reserved number of the font dictionary; aResourceName
  // the name pages use ("/U0").
  TUnicodeFont(const TShapingFace& aFace, int32_t aObjectNo, std::string aResourceName);

  const TShapingFace& Face() const { return FFace; }
  int32_t ObjectNo() const { return FObjectNo; }
  const std::string& ResourceName() const { return FResourceName; }

  // Records that aGlyph is drawn; returns the width the font declares for it
  // (thousandths of an em, one decimal), from which the content's
  // adjustments are counted.
  double UseGlyph(uint32_t aGlyph);
  // Makes aGlyph stand for aText when copied or searched. False when it
  // stands for other text already (the content then says the text itself).
  bool MapGlyph(uint32_t aGlyph, std::u16string_view aText);

  // Writes the font's objects; raises an internal error when the program
  // cannot be reduced. aBinary: streams without their ASCII85 layer.
  void Write(TPdfWriter& aWriter, bool aBinary) const;

private:
  // The ids of the glyphs drawn, in order.
  std::vector<uint32_t> DrawnGlyphs() const;
  // Six capitals from the drawn glyphs, which a subset's name begins with.
  std::string SubsetTag() const;
  int32_t WriteDescriptor(TPdfWriter& aWriter, bool aBinary, const std::string& aBaseFont) const;
  int32_t WriteDescendant(TPdfWriter& aWriter, int32_t aDescriptorNo, const std::string& aBaseFont) const;
  int32_t WriteToUnicode(TPdfWriter& aWriter, bool aBinary) const;

  const TShapingFace& FFace;
  int32_t FObjectNo;
  std::string FResourceName;
  // Per glyph id: the declared width, negative for a glyph not drawn.
  std::vector<double> FWidths;
  // Per glyph id: 1 + the index of its text in FTexts, 0 for none yet.
  std::vector<uint32_t> FTextOf;
  std::vector<std::u16string> FTexts;
};

}  // namespace Vellix
