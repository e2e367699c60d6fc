// Unicode text (TextEncoding teUtf8): what readers extract and draw, how it
// is measured and broken, and what it does with text it cannot draw.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "TestFonts.h"
#include "TextTestSupport.h"
#include "support/Pixmap.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

const char* const kArabicWord = "مرحبا";

void Utf8Document(TVellix& aDoc) { aDoc.SetTextEncoding(teUtf8); }

// What a reader gives for one line: the bidirectional marks pdftotext puts
// around right-to-left words and the blank lines and page break around the
// line left out.
std::string ExtractedLine(std::string aText) {
  static const std::regex marks("\xE2\x80[\xAA-\xAE\x8E\x8F]");
  aText = std::regex_replace(aText, marks, "");
  const size_t first = aText.find_first_not_of(" \n\f");
  const size_t last = aText.find_last_not_of(" \n\f");
  return first == std::string::npos ? "" : aText.substr(first, last - first + 1);
}

std::string PdfToTextPage(const std::string& aPdf, int aPage) {
  const TRunResult r = PdfToText(aPdf, {"-f", std::to_string(aPage), "-l", std::to_string(aPage)});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Err, "");
  return ExtractedLine(r.Out);
}

std::string MutoolPage(const std::string& aPdf, int aPage) {
  const TRunResult r = RunProgram({"mutool", "draw", "-q", "-F", "txt", "-o", "-", aPdf, std::to_string(aPage)});
  EXPECT_EQ(r.Status, 0) << r.Err;
  return ExtractedLine(r.Out);
}

struct TFontRow {
  std::string Name, Type, Encoding, Embedded, Subset, Unicode;
};

std::vector<TFontRow> FontRows(const std::string& aPdf) {
  const TRunResult r = PdfFonts(aPdf);
  EXPECT_EQ(r.Status, 0) << r.Err;
  std::vector<TFontRow> rows;
  const std::regex row(R"((\S+)\s+(CID TrueType|TrueType|Type 1|Type 0)\s+(\S+)\s+(yes|no)\s+(yes|no)\s+(yes|no))");
  for (std::sregex_iterator it(r.Out.begin(), r.Out.end(), row), end; it != end; ++it)
    rows.push_back({(*it)[1], (*it)[2], (*it)[3], (*it)[4], (*it)[5], (*it)[6]});
  return rows;
}

// The columns of a page (rendered at aDpi) holding dark pixels in the rows
// [aTop, aBottom): the first and one past the last, or {0, 0}.
std::pair<int, int> InkColumns(const TPixmap& aPage, int aTop, int aBottom) {
  int first = -1, last = -1;
  for (int x = 0; x < aPage.Width(); ++x)
    for (int y = std::max(aTop, 0); y < std::min(aBottom, aPage.Height()); ++y)
      if (aPage.At(x, y).R < 128) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
}

std::pair<int, int> InkRows(const TPixmap& aPage) {
  int first = -1, last = -1;
  for (int y = 0; y < aPage.Height(); ++y)
    for (int x = 0; x < aPage.Width(); ++x)
      if (aPage.At(x, y).R < 128) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
}

// A one-page document in points with aText at (20, 20) in DejaVu Sans.
std::string OneLine(const TTempDir& aDir, const std::string& aName, const std::string& aText, int32_t aSize) {
  return WriteDocument(
      aDir.File(aName),
      [&](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", aSize);
        d.Canvas().TextOut(20, 20, aText);
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetLengthUnit(luPoint);
        d.SetPageWidth(600);
        d.SetPageHeight(200);
      });
}

// An open Unicode document in memory with DejaVu Sans at aSize as the font.
struct TOpenUnicode {
  TMemoryStream Out;
  TVellix Doc;
  TOpenUnicode(int32_t aSize, TLengthUnit aUnit = luTenth) {
    Doc.SetTextEncoding(teUtf8);
    Doc.SetLengthUnit(aUnit);
    Doc.SetOutStream(&Out);
    Doc.BeginDoc();
    Doc.Canvas().Font() = MakeFont("DejaVu Sans", aSize);
  }
  ~TOpenUnicode() { Doc.Abort(); }
};

}  // namespace

// Each script on a page of its own, read back by two readers, in the order
// of its characters (right-to-left lines included).
TEST(UnicodeText, EveryScriptComesBackFromTwoReaders) {
  const std::vector<std::string> lines = {
      "Łukasiewicz, Dvořák, Ångström, naïve café",  // Latin with diacritics
      "Καλημέρα κόσμε",                             // Greek
      "Съешь же ещё этих мягких булок",            // Cyrillic
      "שלום עולם",                                  // Hebrew
      "مرحبا بالعالم",                              // Arabic
      "नमस्ते भारत",                                  // Devanagari
      "你好，世界",                                  // Chinese
      "こんにちは世界",                              // Japanese
  };
  TTempDir dir;
  const std::string path = dir.File("scripts.pdf");
  WriteDocument(
      path,
      [&](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 14);
        for (size_t i = 0; i < lines.size(); ++i) {
          if (i > 0) d.NewPage();
          d.Canvas().TextOut(200, 200, lines[i]);
        }
      },
      Utf8Document);
  EXPECT_EQ(ReadersComplaints(path), "");
  const TRunResult draw = MutoolDraw(path);
  EXPECT_EQ(draw.Status, 0);
  EXPECT_EQ(std::regex_replace(draw.Err, std::regex("warning: ICC support is not available\n"), ""), "");
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(PdfToTextPage(path, int(i) + 1), lines[i]) << "pdftotext, line " << i;
    EXPECT_EQ(MutoolPage(path, int(i) + 1), lines[i]) << "mutool, line " << i;
  }
  // DejaVu Sans lacks Devanagari and the CJK ideographs: fallback faces draw
  // them, each its own subset font.
  const std::vector<TFontRow> fonts = FontRows(path);
  ASSERT_GE(fonts.size(), 3u);
  EXPECT_NE(fonts[0].Name.find("+DejaVuSans"), std::string::npos);
  EXPECT_EQ(fonts[0].Name.find('+'), 6u);
  for (const TFontRow& font : fonts) {
    EXPECT_EQ(font.Type, "CID TrueType") << font.Name;
    EXPECT_EQ(font.Encoding, "Identity-H") << font.Name;
    EXPECT_EQ(font.Embedded, "yes") << font.Name;
    EXPECT_EQ(font.Subset, "yes") << font.Name;
    EXPECT_EQ(font.Unicode, "yes") << font.Name;
  }
}

// Reordered Indic syllables and ligatures: poppler reads them from the
// actual text that goes with their glyphs.
TEST(UnicodeText, ClustersThatAreNotOneGlyphPerCharacterComeBack) {
  TTempDir dir;
  const std::string text = "हिन्दी office ﬁne e\xCC\x81";
  const std::string path = dir.File("clusters.pdf");
  OneLine(dir, "clusters.pdf", text, 14);
  EXPECT_EQ(PdfToTextPage(path, 1), text);
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(UnicodeText, ArabicLettersJoinAndTheWidthIsTheShapedOne) {
  TOpenUnicode open(40, luPoint);
  TVellix& doc = open.Doc;
  const std::string word = kArabicWord;
  int32_t isolated = 0;
  for (size_t i = 0; i < word.size(); i += 2) isolated += doc.Canvas().TextWidth(word.substr(i, 2));
  const int32_t joined = doc.Canvas().TextWidth(word);
  EXPECT_GT(std::abs(joined - isolated), 5) << "joined " << joined << ", isolated " << isolated;

  // Drawn, the word's ink spans its measured width.
  TTempDir dir;
  const std::string path = dir.File("arabic.pdf");
  OneLine(dir, "arabic.pdf", word, 40);
  const TPixmap page = RenderPage(path, 1, 72, dir.File("arabic"));
  ASSERT_GT(page.Width(), 0);
  const auto [left, right] = InkColumns(page, 0, page.Height());
  // (less the side bearings of its ends)
  EXPECT_LE(right - left, joined);
  EXPECT_GE(right - left, joined - 10);
  EXPECT_NEAR(left, 20, 4);
}

TEST(UnicodeText, ACombiningAccentSitsOnItsBase) {
  TTempDir dir;
  const std::string plainPath = dir.File("e.pdf"), accentPath = dir.File("accent.pdf");
  OneLine(dir, "e.pdf", "e", 60);
  OneLine(dir, "accent.pdf", "e\xCC\x81", 60);
  const TPixmap plain = RenderPage(plainPath, 1, 72, dir.File("e"));
  const TPixmap accent = RenderPage(accentPath, 1, 72, dir.File("accent"));
  ASSERT_GT(plain.Width(), 0);
  ASSERT_GT(accent.Width(), 0);
  const auto plainColumns = InkColumns(plain, 0, plain.Height());
  const auto accentColumns = InkColumns(accent, 0, accent.Height());
  // Above the base, not beside it.
  EXPECT_LE(accentColumns.second, plainColumns.second + 3);
  EXPECT_GE(accentColumns.first, plainColumns.first - 3);
  EXPECT_LT(InkRows(accent).first, InkRows(plain).first - 5);
}

// A right-aligned box of left-to-right and right-to-left lines: each ends at
// the box's right edge, each left-aligned one starts at its left edge.
TEST(UnicodeText, TextBoxesAlignMixedDirectionsByTheShapedWidths) {
  TTempDir dir;
  const std::string path = dir.File("box.pdf");
  const std::string text = "Invoice total\nשלום עולם\nمرحبا بالعالم\nmixed שלום text";
  WriteDocument(
      path,
      [&](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 20);
        EXPECT_EQ(d.Canvas().DrawText(100, 20, 500, 400, taRightJustify, vaTop, text), 0);
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetLengthUnit(luPoint);
        d.SetPageWidth(600);
        d.SetPageHeight(400);
      });
  const TPixmap page = RenderPage(path, 1, 72, dir.File("box"));
  ASSERT_GT(page.Width(), 0);
  // DejaVu Sans at 20 points: a cell of about 23 points per line.
  for (int line = 0; line < 4; ++line) {
    const auto [left, right] = InkColumns(page, 20 + line * 23 + 3, 20 + line * 23 + 20);
    EXPECT_NEAR(right, 500, 3) << "line " << line;
    EXPECT_GT(left, 100) << "line " << line;
  }
}

TEST(UnicodeText, TextBoxesBreakAtUnicodeOpportunitiesAndLoseNothing) {
  TOpenUnicode open(12);
  TPdfCanvas& canvas = open.Doc.Canvas();
  // Ideographs break between any two; Latin words at blanks.
  const std::string chinese = "这是一个没有空格的很长的中文句子，它必须在字符之间换行才能放进一个窄的文本框里。";
  const TTextMeasure measured = canvas.MeasureText(300, chinese);
  EXPECT_GT(measured.Lines, 3);

  const std::string text = "Ελληνικά και русский текст, עברית ועוד, and English words in one paragraph\n\n" + chinese;
  const int32_t lineHeight = canvas.TextHeight("A");
  const int32_t leftOver = canvas.DrawText(100, 100, 500, 100 + 4 * lineHeight, taLeftJustify, vaTop, text);
  ASSERT_GT(leftOver, 0);
  const std::string rest = text.substr(text.size() - size_t(leftOver));
  // The rest starts at a character, where the fourth line ended.
  EXPECT_NE(text.find(rest), std::string::npos);
  EXPECT_NE(static_cast<unsigned char>(rest[0]) & 0xC0, 0x80);
  EXPECT_EQ(canvas.TextY(), 100 + 4 * lineHeight);
}

TEST(UnicodeText, TruncationKeepsWholeGraphemeClusters) {
  TOpenUnicode open(12);
  TPdfCanvas& canvas = open.Doc.Canvas();
  std::string clusters;
  for (int i = 0; i < 20; ++i) clusters += "e\xCC\x81";  // e and a combining acute: one cluster
  const int32_t full = canvas.TextWidth(clusters);
  for (int32_t width = 0; width <= full; width += 7) {
    std::string text = clusters;
    canvas.TruncateText(text, width);
    EXPECT_EQ(text.size() % 3, 0u) << "width " << width;
    EXPECT_LE(canvas.TextWidth(text), width);
    if (text.size() < clusters.size()) {
      EXPECT_GT(canvas.TextWidth(clusters.substr(0, text.size() + 3)), width);
    }
  }
}

TEST(UnicodeText, InvalidUtf8IsDrawnAsReplacementCharacters) {
  TTempDir dir;
  const std::string path = dir.File("invalid.pdf");
  OneLine(dir, "invalid.pdf", "ab\xFF" "cd\xE2\x82" "ef\xC0\xAF", 14);
  EXPECT_EQ(PdfToTextPage(path, 1), "ab\xEF\xBF\xBD" "cd\xEF\xBF\xBD" "ef\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(UnicodeText, ACharacterNoFontHasIsReportedOnceAndTheDocumentGoesOn) {
  std::vector<std::string> shown;
  Application::SetMessageHandler([&](const std::string& aText) { shown.push_back(aText); });
  TTempDir dir;
  const std::string path = dir.File("missing.pdf");
  WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 14);
        // A code point of a private-use plane that no font maps.
        d.Canvas().TextOut(100, 100, "a\xF4\x8F\xBF\xBD" "b");
        d.Canvas().TextOut(100, 200, "\xF4\x8F\xBF\xBD");
        EXPECT_FALSE(d.Aborted());
      },
      Utf8Document);
  Application::SetMessageHandler(nullptr);
  EXPECT_EQ(shown, std::vector<std::string>{"No installed font has the character: U+10FFFD"});
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(UnicodeText, AFontThatForbidsEmbeddingIsRefused) {
  RegisterTestFonts();
  TVellix doc;
  TMemoryStream out;
  doc.SetTextEncoding(teUtf8);
  doc.SetOutStream(&out);
  doc.BeginDoc();
  doc.Canvas().Font() = MakeFont(kRestrictedFamily, 12);
  EXPECT_EQ(MessageOf([&] { doc.Canvas().TextOut(100, 100, "Łódź"); }),
            "This font may not be embedded: " + kRestrictedFamily);
  EXPECT_TRUE(doc.Aborted());
}

TEST(UnicodeText, AFaceOfACollectionIsSubsetAndEmbedded) {
  RegisterTestFonts();
  TTempDir dir;
  const std::string path = dir.File("collection.pdf");
  WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont(kCollectionFamily, 14);
        d.Canvas().TextOut(100, 100, "Collection Ąę");
      },
      Utf8Document);
  EXPECT_EQ(PdfToTextPage(path, 1), "Collection Ąę");
  const std::vector<TFontRow> fonts = FontRows(path);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].Type, "CID TrueType");
  EXPECT_EQ(fonts[0].Subset, "yes");
}

// Twenty distinct characters of a 700 KB font make a small file.
TEST(UnicodeText, ASubsetKeepsTheFileSmall) {
  TTempDir dir;
  const std::string pdf = OneLine(dir, "small.pdf", "abcdefghij klmnopqrst", 14);
  EXPECT_LT(pdf.size(), 30000u);
  const std::string compact = WriteDocumentToMemory(
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 14);
        d.Canvas().TextOut(100, 100, "abcdefghij klmnopqrst");
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetCompressContent(true);
      });
  EXPECT_LT(compact.size(), pdf.size());
  EXPECT_EQ(ReadersComplaintsOfBytes(compact), "");
}

TEST(UnicodeText, InformationAndOutlineTitlesAreUtf16) {
  TTempDir dir;
  const std::string path = dir.File("info.pdf");
  WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 14);
        d.Canvas().TextOut(100, 100, "Глава");
        d.AddOutline("Глава 1 — введение", 1, 1);
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetTitle("Отчёт — ürün");
        d.SetAuthor("Ålesund");
      });
  const TRunResult info = RunProgram({"pdfinfo", path});
  EXPECT_NE(info.Out.find("Title:           Отчёт — ürün"), std::string::npos) << info.Out;
  EXPECT_NE(info.Out.find("Author:          Ålesund"), std::string::npos) << info.Out;
  const std::string bytes = ReadFileBytes(path);
  EXPECT_NE(bytes.find("/Title <FEFF0413043B0430043204300020003100202014"), std::string::npos);
  EXPECT_NE(bytes.find("/Title<FEFF041E0442"), std::string::npos);
}

// Underlined, turned and justified text work on shaped lines.
TEST(UnicodeText, UnderlineRotationAndJustificationUseTheShapedLine) {
  TTempDir dir;
  const std::string path = dir.File("decorated.pdf");
  const std::string paragraph =
      "Съешь же ещё этих мягких французских булок, да выпей чаю. Съешь же ещё этих мягких французских булок.";
  WriteDocument(
      path,
      [&](TVellix& d) {
        TPdfCanvas& c = d.Canvas();
        c.Font() = MakeFont("DejaVu Sans", 14, TFontStyles{fsUnderline});
        c.TextOut(20, 20, "Ελληνικά");
        c.Font() = MakeFont("DejaVu Sans", 14);
        c.SetFontDegreeAngle(90);
        c.TextOut(550, 300, "Русский");
        c.SetFontDegreeAngle(0);
        c.DrawText(20, 100, 400, 300, taJustify, vaTop, paragraph);
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetLengthUnit(luPoint);
        d.SetPageWidth(600);
        d.SetPageHeight(400);
      });
  EXPECT_EQ(ReadersComplaints(path), "");
  const TPixmap page = RenderPage(path, 1, 72, dir.File("decorated"));
  ASSERT_GT(page.Width(), 0);
  // The underline runs the width of the word, below its baseline.
  int underlined = 0;
  for (int y = 33; y < 40; ++y) underlined = std::max(underlined, page.CountNear(0, 0, 0, 20, y, 90, y + 1));
  EXPECT_GT(underlined, 60);
  // The justified lines but the last end at the right edge.
  const auto [left, right] = InkColumns(page, 102, 115);
  EXPECT_NEAR(right, 400, 3);
  const std::string text = ExtractedLine(PdfToText(path).Out);
  EXPECT_NE(text.find("Русский"), std::string::npos);
}

// Grid cells take UTF-8 too: a one-line cell cuts whole clusters at its
// right, a wrapping cell breaks by Unicode's rules, and both come back.
TEST(UnicodeText, GridCellsTruncateAndWrapUnicodeText) {
  TTempDir dir;
  const std::string path = dir.File("grid.pdf");
  const std::string wide = "Ελληνικά κείμενα που δεν χωρούν στο κελί";
  const std::string wrapped = "ارتفعت الإيرادات بنسبة ثمانية في المئة في كل منطقة";
  int32_t leftOver = -1;
  WriteDocument(
      path,
      [&](TVellix& d) {
        TPdfCanvas& c = d.Canvas();
        c.Font() = MakeFont("DejaVu Sans", 12);
        c.DefineGrid("Cells", taLeftJustify, 3);
        c.DefineCol("Cells", 100, taLeftJustify, vaTop, false);
        c.DefineCol("Cells", 150, taRightJustify, vaTop, true);
        c.DrawGrid("Cells", 20, 20);
        c.DrawRow("Cells", 80);
        leftOver = c.TextToCell("Cells", 0, 0, wide);
        EXPECT_EQ(c.TextToCell("Cells", 1, 0, wrapped), 0);
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetLengthUnit(luPoint);
      });
  EXPECT_EQ(ReadersComplaints(path), "");
  ASSERT_GT(leftOver, 0);
  const std::string shown = wide.substr(0, wide.size() - size_t(leftOver));
  const std::string text = PdfToText(path, {"-raw"}).Out;
  EXPECT_NE(text.find(shown), std::string::npos) << text;
  EXPECT_EQ(text.find(wide), std::string::npos);
  // Every word of the wrapped cell is on the page.
  for (const char* word : {"ارتفعت", "الإيرادات", "ثمانية", "منطقة"})
    EXPECT_NE(ExtractedLine(MutoolPage(path, 1)).find(word), std::string::npos) << word;
}

// Every line of a right-to-left paragraph is ordered right to left, even one
// that holds only Latin letters: the full stop of "abc." stands at its left.
TEST(UnicodeText, TextBoxLinesKeepTheirParagraphsDirection) {
  TTempDir dir;
  const std::string path = dir.File("paragraph.pdf");
  WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 12);
        d.Canvas().DrawText(20, 20, 85, 0, taLeftJustify, vaTop, "שלום עולם abc.\nabc.");
      },
      [](TVellix& d) {
        d.SetTextEncoding(teUtf8);
        d.SetLengthUnit(luPoint);
      });
  const std::string text = MutoolPage(path, 1);
  EXPECT_NE(text.find(".abc"), std::string::npos) << text;
  // The second paragraph is left to right.
  EXPECT_NE(text.find("abc."), std::string::npos) << text;
}
