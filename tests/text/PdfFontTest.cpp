// Font resources: ids, the objects written for each font, embedding, and the
// handling of fonts that cannot be used.

#include <gtest/gtest.h>

#include <sstream>

#include <cmath>

#include "TestFonts.h"
#include "TextTestSupport.h"
#include <vellix/Application.h>
#include "platform/fonts/FontMetrics.h"
#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::vector<std::string> Split(const std::string& aText, char aSeparator = ' ') {
  std::vector<std::string> parts;
  std::string part;
  for (char c : aText) {
    if (c == aSeparator) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

struct TFontRow {
  std::string Name, Type, Encoding, Embedded;
};

// The rows of the pdffonts table: name (may hold blanks), type, encoding,
// emb, sub, uni, object number, generation.
std::vector<TFontRow> FontTable(const std::string& aPdf) {
  const TRunResult r = PdfFonts(aPdf);
  EXPECT_EQ(r.Status, 0) << r.Err;
  std::vector<TFontRow> rows;
  const std::vector<std::string> lines = Split(r.Out, '\n');
  for (size_t i = 2; i < lines.size(); ++i) {
    const std::vector<std::string> words = Split(lines[i]);
    if (words.size() < 8) continue;
    TFontRow row;
    for (size_t k = 0; k + 7 < words.size(); ++k) row.Name += (k ? " " : "") + words[k];
    row.Type = words[words.size() - 7];
    row.Encoding = words[words.size() - 6];
    row.Embedded = words[words.size() - 5];
    rows.push_back(row);
  }
  return rows;
}

// Captures what the library shows to the user.
struct TMessages {
  std::vector<std::string> Shown;
  TMessages() {
    Application::SetMessageHandler([this](const std::string& aText) { Shown.push_back(aText); });
  }
  ~TMessages() { Application::SetMessageHandler(nullptr); }
};

int64_t Round(long double v) { return int64_t(std::nearbyintl(v)); }

}  // namespace

TEST(PdfFont, FontIdsAndNames) {
  EXPECT_EQ(TPdfFont::MakeFontId(MakeFont("Times New Roman", 10, {fsBold})), "Times New Roman,Bold");
  EXPECT_EQ(TPdfFont::MakeFontId(MakeFont("Arial", 10, {fsItalic, fsUnderline})), "Arial,Italic");
  EXPECT_EQ(TPdfFont::MakeFontId(MakeFont("Arial", 10, {fsBold, fsItalic})), "Arial,BoldItalic");
  EXPECT_EQ(TPdfFont::MakeFontId(MakeFont("Arial", 10, {fsStrikeOut})), "Arial");
  EXPECT_EQ(EncodeSpaces("Courier New,BoldItalic"), "Courier#20New,BoldItalic");
  // Characters a PDF name cannot hold are escaped too, so the name cannot end
  // early or swallow the next token.
  EXPECT_EQ(EncodeSpaces("A#B(C)/D%E"), "A#23B#28C#29#2FD#25E");
  EXPECT_EQ(EncodeSpaces("Caf\xE9\t<x>[y]{z}"), "Caf#E9#09#3Cx#3E#5By#5D#7Bz#7D");
}

TEST(PdfFont, OneResourcePerFamilyAndBoldOrItalicStyle) {
  TOpenText t;
  TPdfCanvas& c = t.Canvas();
  for (const char* name : {"Arial", "ARIAL", "arial"}) {
    t.Font() = MakeFont(name, 10);
    c.TextOut(100, 100, "x");
  }
  t.Font() = MakeFont("Arial", 12, {fsUnderline, fsStrikeOut});
  c.TextOut(100, 200, "x");
  ASSERT_EQ(Fonts(t.Doc).Count(), 1);
  t.Font() = MakeFont("Arial", 10, {fsBold});
  c.TextOut(100, 300, "x");
  t.Font() = MakeFont("Arial", 10, {fsItalic});
  c.TextOut(100, 400, "x");
  ASSERT_EQ(Fonts(t.Doc).Count(), 3);
  EXPECT_EQ(Fonts(t.Doc).Objects(1)->FontRef(), "/F1");
  EXPECT_EQ(t.Lines()[1], "/F0 10 Tf");
  t.Doc.EndDoc();

  // Objects 5-7, 8-10, 11-13: widths, descriptor, dictionary of each font.
  const std::string pdf = t.Written();
  EXPECT_EQ(ObjectLines(pdf, 5), ObjectLines(pdf, 8));
  EXPECT_EQ(ObjectLines(pdf, 5), ObjectLines(pdf, 11));
  EXPECT_EQ(ObjectLines(pdf, 6), ObjectLines(pdf, 9));
  EXPECT_EQ(ObjectLines(pdf, 10)[4], "/BaseFont /Arial,Bold");
  EXPECT_EQ(ObjectLines(pdf, 13)[4], "/BaseFont /Arial,Italic");
  EXPECT_NE(pdf.find("/Font <<\r\n/F0 7 0 R\r\n/F1 10 0 R\r\n/F2 13 0 R\r\n>>"), std::string::npos);
}

TEST(PdfFont, ObjectsOfAFontLineByLine) {
  TOpenText t;
  t.Font() = MakeFont("Times New Roman", 12, {fsBold});
  t.Canvas().TextOut(100, 100, "Hello");
  t.Doc.EndDoc();
  const std::string pdf = t.Written();

  const TFontMetrics& m = FontMetricsOf("Times New Roman", {}, -133);
  const std::vector<int64_t> widths = ExpectedWidths("Times New Roman", 31, 255);
  std::vector<std::string> expectedWidths = {"["};
  std::string line;
  for (size_t i = 0; i < widths.size(); ++i) {
    line += std::to_string(widths[i]) + " ";
    if (i % 16 == 15 || i + 1 == widths.size()) expectedWidths.push_back(std::exchange(line, ""));
  }
  expectedWidths.push_back("]");
  ASSERT_EQ(expectedWidths.size(), 17u);  // "[", 14 lines of 16, 1 line of 1, "]"
  EXPECT_EQ(Split(expectedWidths[15]).size(), 1u);
  EXPECT_EQ(ObjectLines(pdf, 5), expectedWidths);

  const int64_t ascent = Round(m.TextMetric().tmAscent * 7.5L);
  EXPECT_EQ(ascent, 892);  // 119 pixels: 892.5 rounds to even
  const std::vector<std::string> descriptor = {
      "<<",
      "/Type /FontDescriptor",
      "/FontName /Times#20New#20Roman",
      "/Ascent 892",
      "/Descent " + std::to_string(Round(-m.TextMetric().tmDescent * 7.5L)),
      "/ItalicAngle 0",
      "/CapHeight 892",
      "/Flags 32",
      "/FontBBox [0 0 0 0]",
      ">>"};
  EXPECT_EQ(ObjectLines(pdf, 6), descriptor);
  const std::vector<std::string> font = {"<<",
                                         "/Type /Font",
                                         "/Subtype /TrueType",
                                         "/Name /F0",
                                         "/BaseFont /Times#20New#20Roman,Bold",
                                         "/Encoding /WinAnsiEncoding",
                                         "/FirstChar 31",
                                         "/LastChar 255",
                                         "/Widths 5 0 R",
                                         "/FontDescriptor 6 0 R",
                                         ">>"};
  EXPECT_EQ(ObjectLines(pdf, 7), font);
}

TEST(PdfFont, SymbolFontUsesStandardEncoding) {
  RegisterTestFonts();
  TOpenText t;
  t.Font() = MakeFont(kSymbolFamily, 12);
  t.Canvas().TextOut(100, 100, "abc");
  t.Doc.EndDoc();
  const std::string pdf = t.Written();
  const std::vector<std::string> descriptor = ObjectLines(pdf, 6);
  ASSERT_GE(descriptor.size(), 8u);
  EXPECT_EQ(descriptor[7], "/Flags 4");
  const std::vector<std::string> font = ObjectLines(pdf, 7);
  EXPECT_EQ(font[5], "/Encoding /StandardEncoding");
  EXPECT_EQ(font[6], "/FirstChar 31");
}

TEST(PdfFont, EachDocumentStartsAgainAtF0) {
  TTempDir dir;
  TVellix doc;
  doc.SetCreationDate(FixedCreationDate);
  for (const char* name : {"a.pdf", "b.pdf"}) {
    doc.SetFileName(dir.File(name));
    doc.BeginDoc();
    EXPECT_EQ(Fonts(doc).Count(), 0);
    doc.Canvas().Font() = MakeFont(name[0] == 'a' ? "Arial" : "Courier New", 10);
    doc.Canvas().TextOut(100, 100, "x");
    EXPECT_EQ(Fonts(doc).Objects(0)->FontRef(), "/F0");
    doc.EndDoc();
  }
  const std::string second = ReadFileBytes(dir.File("b.pdf"));
  EXPECT_NE(second.find("/Name /F0\r\n/BaseFont /Courier#20New\r\n"), std::string::npos);
  EXPECT_NE(second.find("/Font <<\r\n/F0 7 0 R\r\n>>"), std::string::npos);
  EXPECT_EQ(ReadersComplaints(dir.File("b.pdf")), "");
}

TEST(PdfFont, EmbeddingFollowsTheListAndTheFontsRights) {
  RegisterTestFonts();
  TTempDir dir;
  const std::string path = dir.File("embed.pdf");
  const std::string pdf = WriteDocument(
      path,
      [](TVellix& d) {
        for (const std::string& family : {std::string("Arial"), std::string("Liberation Serif"), kRestrictedFamily}) {
          d.Canvas().Font() = MakeFont(family, 12);
          d.Canvas().TextOut(100, 100 + 100 * Fonts(d).Count(), "Embedded? " + family);
        }
      },
      [](TVellix& d) { d.SetEmbedFonts(true); });
  EXPECT_EQ(ReadersComplaints(path), "");
  // Arial: 5-7; Liberation Serif: font file 8, then 9-11; the restricted font: 12-14.
  EXPECT_EQ(ObjectLines(pdf, 6).size(), 10u);  // no /FontFile2
  const std::vector<std::string> file = ObjectLines(pdf, 8);
  ASSERT_GE(file.size(), 6u);
  EXPECT_EQ(file[1], "/Filter [/ASCII85Decode /FlateDecode]");
  const std::vector<uint8_t> original = ReadFile(FontMetricsOf("Liberation Serif", {}, -133).FilePath());
  EXPECT_EQ(file[3], "/Length1 " + std::to_string(original.size()));
  const std::string encoded = StreamData(pdf, 8);
  EXPECT_EQ(file[2], "/Length " + std::to_string(encoded.size()));
  EXPECT_EQ(Inflate(DecodeAscii85(encoded)), original);
  EXPECT_EQ(ObjectLines(pdf, 10)[9], "/FontFile2 8 0 R");
  EXPECT_EQ(ObjectLines(pdf, 13).size(), 10u);

  const auto rows = FontTable(path);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Name, "Arial");
  EXPECT_EQ(rows[1].Name, "Liberation Serif");
  EXPECT_EQ(rows[2].Name, kRestrictedFamily);
  for (const auto& row : rows) {
    EXPECT_EQ(row.Type, "TrueType");
    EXPECT_EQ(row.Encoding, "WinAnsi");
  }
  EXPECT_EQ(rows[0].Embedded, "no");
  EXPECT_EQ(rows[1].Embedded, "yes");
  EXPECT_EQ(rows[2].Embedded, "no");

  // With the list emptied, Arial is embedded (as the file it resolves to).
  const std::string arial = WriteDocument(
      dir.File("arial.pdf"),
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("Arial", 12);
        d.Canvas().TextOut(100, 100, "Arial");
      },
      [](TVellix& d) {
        d.SetEmbedFonts(true);
        d.NonEmbeddedFonts().Clear();
      });
  EXPECT_EQ(ObjectLines(arial, 7)[9], "/FontFile2 5 0 R");
  EXPECT_EQ(Inflate(DecodeAscii85(StreamData(arial, 5))), ReadFile(kSansPath));
  EXPECT_EQ(FontTable(dir.File("arial.pdf"))[0].Embedded, "yes");
  EXPECT_EQ(ReadersComplaints(dir.File("arial.pdf")), "");
}

// An embedded font is the program of the face that is drawn, with its
// widths, and a program that two font resources draw is embedded once.
TEST(PdfFont, EmbeddedStylesCarryTheirOwnProgramOncePerDocument) {
  TTempDir dir;
  const std::string path = dir.File("styles.pdf");
  const std::string pdf = WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font() = MakeFont("DejaVu Sans", 14, {fsBold});
        d.Canvas().TextOut(100, 100, "A bold heading");
        d.Canvas().Font() = MakeFont("DejaVu Sans", 11);
        d.Canvas().TextOut(100, 200, "Regular text");
        // Two families that are not installed, drawn with the same substitute.
        d.Canvas().Font() = MakeFont("No Such Family One", 11);
        d.Canvas().TextOut(100, 300, "substituted");
        d.Canvas().Font() = MakeFont("No Such Family Two", 11);
        d.Canvas().TextOut(100, 400, "substituted again");
      },
      [](TVellix& d) { d.SetEmbedFonts(true); });
  EXPECT_EQ(ReadersComplaints(path), "");
  const std::string boldFile = FontMetricsOf("DejaVu Sans", {fsBold}, -133).FilePath();
  const std::string regularFile = FontMetricsOf("DejaVu Sans", {}, -133).FilePath();
  ASSERT_NE(boldFile, regularFile);
  // The bold resource comes first: its program is the bold face's.
  EXPECT_EQ(ObjectLines(pdf, 5)[3], "/Length1 " + std::to_string(ReadFile(boldFile).size()));
  EXPECT_EQ(Inflate(DecodeAscii85(StreamData(pdf, 5))), ReadFile(boldFile));
  // Its widths are the bold face's: "A" is wider in DejaVu Sans Bold than in
  // the regular resource (widths 10, after its program 9).
  const auto widthOfA = [&](int32_t aObject) {
    std::vector<std::string> numbers;
    const std::vector<std::string> lines = ObjectLines(pdf, aObject);
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
      std::stringstream words(lines[i]);
      for (std::string w; words >> w;) numbers.push_back(w);
    }
    const size_t first = FontMetricsOf("DejaVu Sans", {}, -133).TextMetric().tmFirstChar;
    return std::stoi(numbers.at('A' - first));
  };
  EXPECT_GT(widthOfA(6), widthOfA(10));
  size_t programs = 0;
  for (size_t at = pdf.find("/Length1 "); at != std::string::npos; at = pdf.find("/Length1 ", at + 1)) ++programs;
  EXPECT_EQ(programs, 2u) << "bold once, regular once for the three resources that draw it";
  const auto rows = FontTable(path);
  ASSERT_EQ(rows.size(), 4u);
  for (const auto& row : rows) EXPECT_EQ(row.Embedded, "yes") << row.Name;
}

TEST(PdfFont, NamesThatNeedEscapingKeepTheFileSound) {
  TTempDir dir;
  const std::string path = dir.File("odd.pdf");
  const std::string pdf = WriteDocument(path, [](TVellix& d) {
    d.Canvas().Font() = MakeFont("Odd#(Name)/X Y", 12, {fsBold});
    d.Canvas().TextOut(100, 100, "odd");
  });
  EXPECT_NE(pdf.find("/BaseFont /Odd#23#28Name#29#2FX#20Y,Bold\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/FontName /Odd#23#28Name#29#2FX#20Y\r\n"), std::string::npos);
  EXPECT_EQ(ReadersComplaints(path), "");
  const auto rows = FontTable(path);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Name, "Odd#(Name)/X Y,Bold");  // pdffonts decodes the name
}

TEST(PdfFont, AFontThatIsNotTrueTypeAbortsTheDocument) {
  TMessages messages;
  TTempDir dir;
  TVellix doc;
  int aborts = 0;
  doc.SetOnAbort([&](TObject*) { ++aborts; });
  doc.SetFileName(dir.File("cff.pdf"));
  doc.BeginDoc();
  TPdfCanvas& c = doc.Canvas();
  c.TextOut(100, 100, "fine so far");
  c.Font() = MakeFont("C059", 12);  // CFF outlines, and no TrueType alias
  EXPECT_NO_THROW(c.TextOut(100, 200, "not TrueType"));
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_EQ(messages.Shown[0], "This font is not TrueType: C059");
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(doc.Printing());
  EXPECT_EQ(aborts, 1);
  EXPECT_FALSE(FileExists(dir.File("cff.pdf")));
  // The font is still in the list, and everything after it does nothing.
  EXPECT_EQ(Fonts(doc).Count(), 2);
  const size_t lines = c.PdfStream().size();
  c.TextOut(100, 300, "ignored");
  EXPECT_EQ(c.PdfStream().size(), lines);
  EXPECT_EQ(c.TextWidth("ignored"), 1);
  EXPECT_EQ(c.TextHeight("ignored"), 1);
  doc.NewPage();
  doc.EndDoc();
  EXPECT_FALSE(FileExists(dir.File("cff.pdf")));
  EXPECT_EQ(messages.Shown.size(), 1u);

  // A Type 1 family is refused the same way.
  doc.BeginDoc();
  c.Font() = MakeFont("URW Gothic", 12);
  c.TextOut(100, 100, "Type 1");
  EXPECT_TRUE(doc.Aborted());
  ASSERT_EQ(messages.Shown.size(), 2u);
  EXPECT_EQ(messages.Shown[1], "This font is not TrueType: URW Gothic");
}

// The usual PDF names of the standard fonts resolve to TrueType twins when
// fontconfig has one (it prefers the CFF URW fonts, which a PDF cannot name
// as TrueType), and "Symbol" becomes the standard Symbol font every reader
// has, measured with its metric twin.
TEST(PdfFont, StandardNamesAndSymbolAreDrawnNotRefused) {
  EXPECT_EQ(FontMetricsOf("Helvetica", {}, -133).FamilyName(), "Liberation Sans");
  EXPECT_EQ(FontMetricsOf("Times", {fsBold}, -133).FamilyName(), "Liberation Serif");
  EXPECT_EQ(FontMetricsOf("Courier", {fsItalic}, -133).FamilyName(), "Liberation Mono");
  TMessages messages;
  TTempDir dir;
  const std::string path = dir.File("standard.pdf");
  int32_t bulletWidth = 0;
  const std::string pdf = WriteDocument(path, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    for (const char* family : {"Helvetica", "Times", "Courier"}) {
      c.Font() = MakeFont(family, 12);
      c.TextOut(100, 100 + 100 * Fonts(d).Count(), std::string("Drawn in ") + family);
    }
    c.Font() = MakeFont("Symbol", 12);
    bulletWidth = c.TextWidth("\xB7");
    c.TextOut(100, 500, "\xB7 abg");  // a bullet, then alpha, beta, gamma
    EXPECT_FALSE(d.Aborted());
  });
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_EQ(ReadersComplaints(path), "");
  EXPECT_GT(bulletWidth, 0);
  EXPECT_NE(pdf.find("/Subtype /Type1\r\n/Name /F3\r\n/BaseFont /Symbol\r\n"), std::string::npos);
  const TRunResult text = PdfToText(path);
  EXPECT_NE(text.Out.find("Drawn in Helvetica"), std::string::npos);
  EXPECT_NE(text.Out.find("\xE2\x80\xA2 \xCE\xB1\xCE\xB2\xCE\xB3"), std::string::npos) << text.Out;
  const TRunResult fonts = PdfFonts(path);
  EXPECT_NE(fonts.Out.find("\nSymbol                               Type 1"), std::string::npos) << fonts.Out;
}
