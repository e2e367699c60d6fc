#include "text/unicode/UnicodeFont.h"

#include <hb.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <vellix/Messages.h>

#include "text/FontStream.h"
#include "text/unicode/ShapingFace.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"
#include "writer/PdfWriter.h"

namespace Vellix {

namespace {

// The face's bounding box from its 'head' table, in thousandths of an em;
// without the table, the width of an em between the descent and the ascent.
std::string BoundingBox(const TShapingFace& aFace) {
  long corners[4] = {0, -aFace.Descent(), 1000, aFace.Ascent()};
  hb_blob_t* head = hb_face_reference_table(aFace.Face(), HB_TAG('h', 'e', 'a', 'd'));
  unsigned length = 0;
  const auto* data = reinterpret_cast<const uint8_t*>(hb_blob_get_data(head, &length));
  if (length >= 44)
    for (int i = 0; i < 4; ++i) {
      const int16_t value = int16_t((data[36 + 2 * i] << 8) | data[37 + 2 * i]);
      corners[i] = std::lround(value * 1000.0 / aFace.UnitsPerEm());
    }
  hb_blob_destroy(head);
  std::string box(1, '[');
  for (int i = 0; i < 4; ++i) {
    AppendInteger(box, corners[i]);
    box += i < 3 ? ' ' : ']';
  }
  return box;
}

}  // namespace

TUnicodeFont::TUnicodeFont(const TShapingFace& aFace, int32_t aObjectNo, std::string aResourceName)
    : FFace(aFace),
      FObjectNo(aObjectNo),
      FResourceName(std::move(aResourceName)),
      FWidths(std::max(hb_face_get_glyph_count(aFace.Face()), 1u), -1.0),
      FTextOf(FWidths.size(), 0) {}

double TUnicodeFont::UseGlyph(uint32_t aGlyph) {
  if (aGlyph >= FWidths.size()) aGlyph = 0;
  double& width = FWidths[aGlyph];
  if (width < 0) width = std::round(FFace.GlyphAdvance(aGlyph) * 10) / 10;
  return width;
}

bool TUnicodeFont::MapGlyph(uint32_t aGlyph, std::u16string_view aText) {
  if (aGlyph >= FTextOf.size()) return false;
  uint32_t& text = FTextOf[aGlyph];
  if (text != 0) return FTexts[text - 1] == aText;
  FTexts.emplace_back(aText);
  text = uint32_t(FTexts.size());
  return true;
}

std::vector<uint32_t> TUnicodeFont::DrawnGlyphs() const {
  std::vector<uint32_t> glyphs;
  for (uint32_t glyph = 0; glyph < FWidths.size(); ++glyph)
    if (FWidths[glyph] >= 0) glyphs.push_back(glyph);
  return glyphs;
}

std::string TUnicodeFont::SubsetTag() const {
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t glyph : DrawnGlyphs()) hash = (hash ^ glyph) * 1099511628211ull;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += char('A' + hash % 26);
  return tag;
}

void TUnicodeFont::Write(TPdfWriter& aWriter, bool aBinary) const {
  const std::string baseFont = SubsetTag() + "+" + NameToken(FFace.PostScriptName());
  const int32_t descriptorNo = WriteDescriptor(aWriter, aBinary, baseFont);
  const int32_t descendantNo = WriteDescendant(aWriter, descriptorNo, baseFont);
  const int32_t toUnicodeNo = WriteToUnicode(aWriter, aBinary);
  aWriter.BeginReservedDic(FObjectNo);
  aWriter.WriteLine("/Type /Font");
  aWriter.WriteLine("/Subtype /Type0");
  aWriter.WriteLine("/BaseFont /" + baseFont);
  aWriter.WriteLine("/Encoding /Identity-H");
  aWriter.WriteLine("/DescendantFonts [" + Ref(descendantNo) + "]");
  aWriter.WriteLine("/ToUnicode " + Ref(toUnicodeNo));
  aWriter.EndDic();
}

int32_t TUnicodeFont::WriteDescriptor(TPdfWriter& aWriter, bool aBinary, const std::string& aBaseFont) const {
  std::vector<uint32_t> glyphs = DrawnGlyphs();
  glyphs.push_back(0);
  const std::vector<uint8_t> program = FFace.Subset(glyphs);
  if (program.empty()) aWriter.Fail(MSG_INTERNAL_ERROR, "hb_subset");
  const int32_t programNo =
      WriteFontStream(aWriter, program, aBinary, {"/Length1 " + std::to_string(program.size())});
  const int32_t descriptorNo = aWriter.BeginDic();
  aWriter.WriteLine("/Type /FontDescriptor");
  aWriter.WriteLine("/FontName /" + aBaseFont);
  aWriter.WriteLine("/Flags 4");
  aWriter.WriteLine("/FontBBox " + BoundingBox(FFace));
  aWriter.WriteLine("/ItalicAngle 0");
  aWriter.WriteLine("/Ascent " + std::to_string(FFace.Ascent()));
  aWriter.WriteLine("/Descent " + std::to_string(-FFace.Descent()));
  aWriter.WriteLine("/CapHeight " + std::to_string(FFace.Ascent()));
  aWriter.WriteLine("/StemV 80");
  aWriter.WriteLine("/FontFile2 " + Ref(programNo));
  aWriter.EndDic();
  return descriptorNo;
}

int32_t TUnicodeFont::WriteDescendant(TPdfWriter& aWriter, int32_t aDescriptorNo, const std::string& aBaseFont) const {
  const int32_t objectNo = aWriter.BeginDic();
  aWriter.WriteLine("/Type /Font");
  aWriter.WriteLine("/Subtype /CIDFontType2");
  aWriter.WriteLine("/BaseFont /" + aBaseFont);
  aWriter.WriteLine("/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
  aWriter.WriteLine("/FontDescriptor " + Ref(aDescriptorNo));
  aWriter.WriteLine("/CIDToGIDMap /Identity");
  // Consecutive glyphs share one "first [w1 w2 ...]" entry.
  aWriter.WriteLine("/W [");
  std::string line;
  uint32_t next = 0;
  for (uint32_t glyph : DrawnGlyphs()) {
    if (line.empty() || glyph != next) {
      if (!line.empty()) {
        aWriter.WriteLine(line + "]");
        line.clear();
      }
      line = std::to_string(glyph) + " [";
    } else {
      line += ' ';
    }
    AppendPdfNumber(line, FWidths[glyph]);
    next = glyph + 1;
  }
  if (!line.empty()) aWriter.WriteLine(line + "]");
  aWriter.WriteLine("]");
  aWriter.EndDic();
  return objectNo;
}

int32_t TUnicodeFont::WriteToUnicode(TPdfWriter& aWriter, bool aBinary) const {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  uint32_t glyph = 0;
  while (glyph < FTextOf.size()) {
    // At most 100 entries in one block, as the CMap format requires.
    std::string block;
    size_t count = 0;
    for (; glyph < FTextOf.size() && count < 100; ++glyph) {
      if (FTextOf[glyph] == 0) continue;
      block += '<';
      AppendHexUnit(block, glyph);
      block += "> <";
      for (char16_t unit : FTexts[FTextOf[glyph] - 1]) AppendHexUnit(block, unit);
      block += ">\n";
      ++count;
    }
    if (count == 0) break;
    cmap += std::to_string(count) + " beginbfchar\n" + block + "endbfchar\n";
  }
  cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return WriteFontStream(aWriter, std::vector<uint8_t>(cmap.begin(), cmap.end()), aBinary);
}

}  // namespace Vellix
