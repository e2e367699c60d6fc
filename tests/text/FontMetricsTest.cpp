#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>

#include "TestFonts.h"
#include <vellix/CodePage.h>
#include <vellix/Exception.h>
#include "platform/fonts/FontMetrics.h"
#include "platform/fonts/Sfnt.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

// Values worked out by hand from the fonts' OS/2, post and hmtx tables at an
// em of 133 pixels (Size 100 at 96 dots per inch).
struct TExpected {
  const char* Family;
  const char* Resolved;
  int32_t Ascent, Descent, UnderlineSize, UnderlinePosition;
  int32_t Space, A, W, Euro, QuoteRight;
};
const TExpected kLiberation[] = {
    {"Arial", "Liberation Sans", 120, 28, 10, -4, 37, 89, 126, 74, 30},
    {"Times New Roman", "Liberation Serif", 119, 29, 6, -8, 33, 96, 126, 66, 44},
    {"Courier New", "Liberation Mono", 111, 40, 5, -26, 80, 80, 80, 80, 80},
};

TFont SizedFont(const std::string& aName, int32_t aSize, TFontStyles aStyle = {}) {
  TFont f;
  f.SetName(aName);
  f.SetSize(aSize);
  f.SetStyle(aStyle);
  return f;
}

}  // namespace

TEST(FontMetrics, LiberationFamiliesAtTheMeasuringEm) {
  for (const TExpected& e : kLiberation) {
    SCOPED_TRACE(e.Family);
    const TFontMetrics& m = FontMetricsOf(SizedFont(e.Family, 100));
    const TTextMetric& tm = m.TextMetric();
    EXPECT_EQ(m.FamilyName(), e.Resolved);
    EXPECT_EQ(m.Em(), 133);
    EXPECT_EQ(tm.tmAscent, e.Ascent);
    EXPECT_EQ(tm.tmDescent, e.Descent);
    EXPECT_EQ(tm.tmHeight, e.Ascent + e.Descent);
    EXPECT_EQ(tm.tmFirstChar, 31);
    EXPECT_EQ(tm.tmLastChar, 255);
    EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
    EXPECT_TRUE(m.IsTrueType());
    EXPECT_EQ(m.OutlineTextMetric().otmsUnderscoreSize, e.UnderlineSize);
    EXPECT_EQ(m.OutlineTextMetric().otmsUnderscorePosition, e.UnderlinePosition);
    EXPECT_EQ(m.OutlineTextMetric().otmItalicAngle, 0);
    EXPECT_EQ(m.OutlineTextMetric().otmfsType, 0u);
    EXPECT_EQ(m.CharWidth(' '), e.Space);
    EXPECT_EQ(m.CharWidth('A'), e.A);
    EXPECT_EQ(m.CharWidth('W'), e.W);
    EXPECT_EQ(m.CharWidth(0x80), e.Euro);        // code page 1252: euro sign
    EXPECT_EQ(m.CharWidth(0x92), e.QuoteRight);  // right single quote
    // Layout widths are the resource's widths: whole pixels at 133 times 7.5.
    EXPECT_EQ(m.CharWidthThousandths('A'), std::lround(std::nearbyint(e.A * 7.5)));
    EXPECT_EQ(m.TextWidthThousandths("AW A"), std::lround(std::nearbyint(e.A * 7.5) * 2 + std::nearbyint(e.W * 7.5) +
                                                           std::nearbyint(e.Space * 7.5)));
  }
}

TEST(FontMetrics, CaseStyleAndSubstitution) {
  const TFontMetrics& regular = FontMetricsOf("Arial", {}, -133);
  EXPECT_EQ(&FontMetricsOf("ARIAL", {}, -133), &regular);
  EXPECT_EQ(&FontMetricsOf("arial", {fsUnderline, fsStrikeOut}, -133), &regular);
  const TFontMetrics& bold = FontMetricsOf("Arial", {fsBold}, -133);
  EXPECT_NE(&bold, &regular);
  EXPECT_NE(bold.FilePath(), regular.FilePath());
  EXPECT_EQ(bold.CharWidth('A'), 96);  // Liberation Sans Bold
  EXPECT_NE(FontMetricsOf("Arial", {fsItalic}, -133).FilePath(), regular.FilePath());

  // A family that is not installed is measured with fontconfig's choice.
  const TFontMetrics& missing = FontMetricsOf("No Such Family Vellix", {}, -133);
  EXPECT_FALSE(missing.FamilyName().empty());
  EXPECT_GT(missing.TextWidthThousandths("Hello"), 1000);
}

TEST(FontMetrics, HeightSelectsTheEm) {
  EXPECT_EQ(FontMetricsOf(SizedFont("Arial", 10)).Em(), 13);
  EXPECT_EQ(FontMetricsOf(SizedFont("Arial", 12)).Em(), 16);
  // A positive height is the cell height: 148 * 2048 / (1854 + 434) = 132.5.
  const TFontMetrics& cell = FontMetricsOf("Arial", {}, 148);
  EXPECT_EQ(cell.Em(), 132);
  EXPECT_NEAR(cell.TextMetric().tmHeight, 148, 1);
  // Widths are the linear advances rounded at each em: 'A' is 1366 units.
  for (int32_t em : {7, 13, 16, 32, 133, 500}) {
    const TFontMetrics& m = FontMetricsOf("Arial", {}, -em);
    EXPECT_EQ(m.CharWidth('A'), int32_t(std::nearbyint(1366.0 * em / 2048))) << em;
    EXPECT_EQ(m.CharWidthThousandths('A'), 668);  // 89 pixels at 133: 667.5 to even
  }
}

TEST(FontMetrics, WidthsAreTheAdvancesOfTheFontFile) {
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(lib, kSansPath.c_str(), 0, &face), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 133), 0);
  const TFontMetrics& m = FontMetricsOf("Arial", {}, -133);
  std::vector<TABC> abc;
  ASSERT_TRUE(m.CharABCWidths(31, 255, abc));
  ASSERT_EQ(abc.size(), 225u);
  for (unsigned c = 31; c <= 255; ++c) {
    const FT_UInt glyph = FT_Get_Char_Index(face, AnsiToUnicode(uint8_t(c)));
    ASSERT_EQ(FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING), 0);
    const int32_t expected = int32_t(std::nearbyint(face->glyph->linearHoriAdvance / 65536.0));
    const TABC& w = abc[c - 31];
    EXPECT_EQ(w.abcA + int64_t(w.abcB) + w.abcC, expected) << c;
    EXPECT_EQ(m.CharWidth(uint8_t(c)), expected) << c;
  }
  // 'A' has ink from near its left edge to near its right.
  const TABC& a = abc['A' - 31];
  EXPECT_GE(a.abcA, -1);
  EXPECT_GT(a.abcB, 80u);
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
}

TEST(FontMetrics, NonTrueTypeFontsAreMeasuredButNotTrueType) {
  // C059 is CFF (OpenType), and none of its aliases is TrueType.
  const TFontMetrics& cff = FontMetricsOf("C059", {}, -133);
  EXPECT_EQ(cff.FamilyName(), "C059");
  EXPECT_FALSE(cff.IsTrueType());
  EXPECT_NE(cff.TextMetric().tmPitchAndFamily & TMPF_VECTOR, 0);
  EXPECT_GT(cff.TextWidthThousandths("Hello"), 1000);
  EXPECT_TRUE(FontMetricsOf("Arial", {}, -133).IsTrueType());
}

TEST(FontMetrics, SymbolRestrictedAndCollectionFonts) {
  const std::string& collectionPath = RegisterTestFonts();

  const TFontMetrics& symbol = FontMetricsOf(kSymbolFamily, {}, -133);
  ASSERT_EQ(symbol.FamilyName(), kSymbolFamily);
  EXPECT_EQ(symbol.TextMetric().tmCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(symbol.TextMetric().tmFirstChar, 31);
  EXPECT_EQ(symbol.TextMetric().tmLastChar, 255);
  // Code 0x20 is 0xF020, which the made cmap sends to glyph 3 (the space).
  EXPECT_EQ(symbol.CharWidth(0x20), 37);
  EXPECT_TRUE(symbol.IsTrueType());

  const TFontMetrics& restricted = FontMetricsOf(kRestrictedFamily, {}, -133);
  ASSERT_EQ(restricted.FamilyName(), kRestrictedFamily);
  EXPECT_EQ(restricted.OutlineTextMetric().otmfsType & 1, 1u);

  const TFontMetrics& member = FontMetricsOf(kCollectionFamily, {}, -133);
  ASSERT_EQ(member.FamilyName(), kCollectionFamily);
  EXPECT_EQ(member.FilePath(), collectionPath);
  EXPECT_EQ(member.CharWidth('A'), 89);
  const std::vector<uint8_t> data = member.FontData();
  ASSERT_GE(data.size(), 4u);
  EXPECT_EQ(data[0], 0);
  EXPECT_EQ(data[1], 1);
  const auto standalone = ReadSfntTables(data);
  const auto original = ReadSfntTables(ReadFile(collectionPath), 1);
  ASSERT_EQ(standalone.size(), original.size());
  for (size_t i = 0; i < original.size(); ++i) {
    bool found = false;
    for (const TSfntTable& t : standalone)
      if (t.Tag == original[i].Tag) {
        found = true;
        if (t.Tag != SfntTag("head")) {
          EXPECT_EQ(t.Data, original[i].Data);
        }
      }
    EXPECT_TRUE(found);
  }
  // The rebuilt file's checksum adjustment makes the whole file sum to the magic.
  EXPECT_EQ(SfntChecksum(data.data(), data.size()), 0xB1B0AFBAu);

  // A single font's data is the file itself.
  EXPECT_EQ(FontMetricsOf("Arial", {}, -133).FontData(), ReadFile(kSansPath));
}

namespace {

// The scaled table value as the measuring em rounds it.
int32_t AtMeasuringEm(int64_t aUnits, int32_t aUnitsPerEm) { return int32_t(std::nearbyint(double(aUnits) * 133 / aUnitsPerEm)); }

struct TOwnTables {
  int32_t UnitsPerEm, WinAscent, WinDescent, UnderlinePosition, UnderlineThickness;
};

// Read straight from the font file, apart from the library's own reader.
TOwnTables ReadOwnTables(const std::string& aPath) {
  FT_Library library = nullptr;
  FT_Init_FreeType(&library);
  FT_Face face = nullptr;
  TOwnTables t{};
  if (FT_New_Face(library, aPath.c_str(), 0, &face) == 0) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    t = {face->units_per_EM, os2->usWinAscent, os2->usWinDescent, int16_t(post->underlinePosition),
         int16_t(post->underlineThickness)};
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return t;
}

}  // namespace

// The cell and the underline follow the font's own tables: the cell is the
// OS/2 usWinAscent and usWinDescent, the underline the 'post' table's
// position and thickness, each scaled to the em and rounded. Liberation Serif
// has no hinted extents (VDMX), and its underline sits 100 units higher than
// Times New Roman's, so its descriptor reads "/Descent -218" and a 12-point
// underline lies 0.72 pt below the baseline (0.54 pt thick) where the Times New
// Roman of the classic example gives -240 and 1.26 pt.
TEST(FontMetrics, CellAndUnderlineComeFromTheFontsOwnTables) {
  const TOwnTables serif = ReadOwnTables(kSerifPath);
  const TFontMetrics& m = FontMetricsOf("Times New Roman", {}, -133);
  ASSERT_EQ(m.FilePath(), kSerifPath);
  EXPECT_EQ(m.TextMetric().tmAscent, AtMeasuringEm(serif.WinAscent, serif.UnitsPerEm));
  EXPECT_EQ(m.TextMetric().tmDescent, AtMeasuringEm(serif.WinDescent, serif.UnitsPerEm));
  EXPECT_EQ(m.OutlineTextMetric().otmsUnderscorePosition, AtMeasuringEm(serif.UnderlinePosition, serif.UnitsPerEm));
  EXPECT_EQ(m.OutlineTextMetric().otmsUnderscoreSize, AtMeasuringEm(serif.UnderlineThickness, serif.UnitsPerEm));
  // The measured values of the README's font section.
  EXPECT_EQ(serif.WinDescent, 443);
  EXPECT_EQ(serif.UnderlinePosition, -123);
  EXPECT_EQ(serif.UnderlineThickness, 100);
  EXPECT_EQ(m.TextMetric().tmDescent, 29);                    // 29 x 7.5 = 217.5: "/Descent -218"
  EXPECT_EQ(m.OutlineTextMetric().otmsUnderscorePosition, -8);  // 8 x 7.5 / 1000 x 12 = 0.72 pt
}

// A font that lists hinted extents for a pixel height (VDMX) has them as its
// cell there, as Windows measures it; the made font carries the extents that
// give the classic Times New Roman descriptor.
TEST(FontMetrics, HintedExtentsOfTheVdmxTableGiveTheCell) {
  RegisterTestFonts();
  const TFontMetrics& listed = FontMetricsOf(kVdmxFamily, {}, -133);
  ASSERT_EQ(listed.FamilyName(), kVdmxFamily);
  EXPECT_EQ(listed.TextMetric().tmAscent, 119);
  EXPECT_EQ(listed.TextMetric().tmDescent, 32);
  EXPECT_EQ(listed.TextMetric().tmHeight, 151);
  const TFontMetrics& small = FontMetricsOf(kVdmxFamily, {}, -16);
  EXPECT_EQ(small.TextMetric().tmAscent, 15);
  EXPECT_EQ(small.TextMetric().tmDescent, 4);
  // A height the table does not list falls back to the OS/2 values.
  const TOwnTables serif = ReadOwnTables(kSerifPath);
  const TFontMetrics& other = FontMetricsOf(kVdmxFamily, {}, -20);
  EXPECT_EQ(other.TextMetric().tmDescent, int32_t(std::nearbyint(double(serif.WinDescent) * other.Em() / serif.UnitsPerEm)));

  TTempDir dir;
  const std::string pdf = WriteDocument(dir.File("vdmx.pdf"), [](TVellix& d) {
    d.Canvas().Font() = SizedFont(kVdmxFamily, 12, {fsBold});
    d.Canvas().TextOut(100, 100, "Descent");
  });
  EXPECT_NE(pdf.find("/Ascent 892\r\n/Descent -240\r\n"), std::string::npos);
  EXPECT_EQ(ReadersComplaints(dir.File("vdmx.pdf")), "");
}
