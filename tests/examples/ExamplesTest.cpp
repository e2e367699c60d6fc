// The demonstration program and the small examples, run as a user runs them,
// and their documents read back by qpdf and poppler.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/Pixmap.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace VellixTest;

namespace {

// "topic=path,topic=path" as the build passes it.
std::map<std::string, std::string> ExamplePrograms() {
  std::map<std::string, std::string> programs;
  std::stringstream list(EXAMPLE_PROGRAMS);
  std::string item;
  while (std::getline(list, item, ',')) {
    const size_t equals = item.find('=');
    if (equals != std::string::npos) programs[item.substr(0, equals)] = item.substr(equals + 1);
  }
  return programs;
}

size_t Count(const std::string& aText, const std::string& aWhat) {
  size_t n = 0;
  for (size_t at = aText.find(aWhat); at != std::string::npos; at = aText.find(aWhat, at + aWhat.size())) ++n;
  return n;
}

// Rows of `pdfimages -list` below its two header lines, split into columns.
std::vector<std::vector<std::string>> ImageRows(const std::string& aPdf) {
  const TRunResult list = PdfImagesList(aPdf);
  EXPECT_EQ(list.Status, 0) << list.Err;
  std::vector<std::vector<std::string>> rows;
  std::stringstream lines(list.Out);
  std::string line;
  for (int skip = 0; skip < 2 && std::getline(lines, line); ++skip) {
  }
  while (std::getline(lines, line)) {
    std::stringstream words(line);
    std::vector<std::string> row;
    for (std::string word; words >> word;) row.push_back(word);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

// A page of aPdf rendered at 30 dpi.
TPixmap RenderPage(const std::string& aPdf, int aPage, const TTempDir& aDir) {
  const TPixmap map = VellixTest::RenderPage(aPdf, aPage, 30, aDir.File("page" + std::to_string(aPage)));
  EXPECT_GT(map.Width(), 0);
  return map;
}

class DemoTest : public testing::Test {
protected:
  // The demonstration runs once; every test reads its documents.
  static void SetUpTestSuite() {
    Dir = new TTempDir;
    Run = new TRunResult(RunProgram({DEMO_PROGRAM, Dir->File("sample.pdf")}));
  }
  static void TearDownTestSuite() {
    delete Run;
    delete Dir;
  }
  static std::string Pdf(const std::string& aName) { return Dir->File(aName); }
  static inline TTempDir* Dir = nullptr;
  static inline TRunResult* Run = nullptr;
};

const char* const DemoFiles[] = {"sample.pdf", "sample-images-none.pdf", "sample-images-zlib.pdf",
                                 "sample-stream.pdf"};

TEST_F(DemoTest, WritesFourDocumentsThatReadersAccept) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  EXPECT_EQ(Run->Err, "");
  for (const char* name : DemoFiles) {
    ASSERT_TRUE(FileExists(Pdf(name))) << name;
    const TRunResult check = QpdfCheck(Pdf(name));
    EXPECT_EQ(check.Status, 0) << name << "\n" << check.Out << check.Err;
    EXPECT_EQ(ReadersComplaints(Pdf(name)), "") << name;
    const TRunResult mutool = MutoolDraw(Pdf(name));
    EXPECT_NE(mutool.Status, 1) << name << "\n" << mutool.Err;
  }
}

TEST_F(DemoTest, TextOfEveryPageExtracts) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  const TRunResult text = PdfToText(Pdf("sample.pdf"));
  ASSERT_EQ(text.Status, 0);
  EXPECT_EQ(text.Err, "");
  for (const char* expected : {"Vellix: a PDF document drawn like a printer page", "210 x 297 mm", "Pens and brushes",
                               "psDashDotDot", "déjà vu, 5 € (a\\b) — “quoted”", "Courier New 16 pt", "TruncateText shortens",
                               "TBitmap, StretchDraw", "cpJpeg", "Report", "Each call leaves the running text",
                               "Article 37", "Article 330", "A longer description"})
    EXPECT_NE(text.Out.find(expected), std::string::npos) << expected;
  // One form feed after each page: five pages of topics, then the report
  // flowing over several; the table's header row is drawn on each of its pages.
  EXPECT_GE(Count(text.Out, "\f"), 8u);
  EXPECT_GE(Count(text.Out, "Description"), 2u);

  const TRunResult stream = PdfToText(Pdf("sample-stream.pdf"));
  EXPECT_EQ(stream.Err, "");
  EXPECT_NE(stream.Out.find("US Letter, landscape, in points"), std::string::npos);
  EXPECT_NE(stream.Out.find("792 x 612 points"), std::string::npos);
}

TEST_F(DemoTest, FontsListWithTheirStyles) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  const TRunResult fonts = PdfFonts(Pdf("sample.pdf"));
  ASSERT_EQ(fonts.Status, 0) << fonts.Err;
  EXPECT_EQ(fonts.Err, "");
  for (const char* name : {"Arial ", "Arial,Bold ", "Times New Roman,Italic", "Times New Roman,Bold",
                           "Courier New ", "Courier New,BoldItalic"})
    EXPECT_NE(fonts.Out.find(name), std::string::npos) << name << "\n" << fonts.Out;
  EXPECT_EQ(fonts.Out.find("Type 3"), std::string::npos);
}

TEST_F(DemoTest, ImagesAreWrittenInEachDocumentsEncoding) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  // 240 x 160 stretched, JPEG, PNG, two copied regions and eight tiles.
  const std::map<std::string, std::string> encodings = {
      {"sample.pdf", "jpeg"}, {"sample-images-none.pdf", "image"}, {"sample-images-zlib.pdf", "image"}};
  for (const auto& [name, encoding] : encodings) {
    const auto rows = ImageRows(Pdf(name));
    ASSERT_EQ(rows.size(), 13u) << name;
    for (const auto& row : rows) {
      ASSERT_GE(row.size(), 9u);
      EXPECT_EQ(row[2], "image");
      EXPECT_EQ(row[5], "rgb");
      EXPECT_EQ(row[8], encoding) << name;
    }
    EXPECT_EQ(rows[0][3], "240");
    EXPECT_EQ(rows[0][4], "160");
  }
  // Flate makes the same pictures smaller than raw samples.
  EXPECT_LT(ReadFileBytes(Pdf("sample-images-zlib.pdf")).size(),
            ReadFileBytes(Pdf("sample-images-none.pdf")).size());
}

TEST_F(DemoTest, PagesRenderWithTheirColours) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  // Every page as a PNG in the build tree, for a person to look at; the
  // pictures of an earlier run go first.
  const std::filesystem::path artefacts = ARTEFACT_DIR;
  std::filesystem::remove_all(artefacts);
  std::filesystem::create_directories(artefacts);
  for (const char* name : DemoFiles) {
    const std::string root = (artefacts / std::filesystem::path(name).stem()).string();
    const TRunResult run = PdfToPpm(Pdf(name), {"-r", "60", "-png"}, root);
    EXPECT_EQ(run.Status, 0) << name << "\n" << run.Err;
    EXPECT_EQ(run.Err, "") << name;
  }
  // One picture per page: the main document's pages and one of each companion.
  size_t pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(artefacts))
    if (entry.path().extension() == ".png") ++pictures;
  const size_t pageCount = Count(PdfToText(Pdf("sample.pdf")).Out, "\f");
  EXPECT_GE(pageCount, 8u);
  EXPECT_EQ(pictures, pageCount + 3);

  // Spot checks that the drawing reached the page: the yellow rectangle of
  // the shapes page and the red discs of the pictures, in every encoding.
  TTempDir pages;
  EXPECT_GT(RenderPage(Pdf("sample.pdf"), 4, pages).CountNear(255, 255, 0), 100);
  for (const char* name : {"sample.pdf", "sample-images-none.pdf", "sample-images-zlib.pdf"}) {
    const int page = std::string(name) == "sample.pdf" ? 6 : 1;
    EXPECT_GT(RenderPage(Pdf(name), page, pages).CountNear(255, 0, 0), 100) << name;
  }
}

TEST_F(DemoTest, ContentsLinksBookmarksAndFootersFindTheirPages) {
  ASSERT_EQ(Run->Status, 0) << Run->Err;
  for (const char* name : {"sample.pdf", "sample-compact.pdf"}) {
    const TRunResult outline = RunProgram({"mutool", "show", Pdf(name), "outline"});
    EXPECT_EQ(outline.Status, 0) << outline.Err;
    EXPECT_EQ(outline.Out,
              "|\t\"Contents\"\t#page=1&zoom=nan,nan,0\n"
              "|\t\"Paper sizes and units\"\t#page=2&zoom=nan,0,0\n"
              "|\t\"Pens and brushes\"\t#page=3&zoom=nan,0,0\n"
              "|\t\"Shapes\"\t#page=4&zoom=nan,0,0\n"
              "|\t\"Text\"\t#page=5&zoom=nan,0,0\n"
              "|\t\"Images\"\t#page=6&zoom=nan,0,0\n"
              "|\t\"A report\"\t#page=7&zoom=nan,0,0\n")
        << name;
    // Each contents line names a destination that pdfinfo finds on its page.
    const TRunResult dests = RunProgram({"pdfinfo", "-dests", Pdf(name)});
    EXPECT_EQ(dests.Err, "");
    for (const char* destination : {"   2 [ XYZ    0  842 null      ] \"paper\"", "   7 [ XYZ    0  842 null      ] \"report\""})
      EXPECT_NE(dests.Out.find(destination), std::string::npos) << name << "\n" << dests.Out;
    const std::string text = PdfToText(Pdf(name)).Out;
    const size_t pages = Count(text, "\f");
    for (size_t page = 1; page <= pages; ++page) {
      const std::string footer = "Page " + std::to_string(page) + " of " + std::to_string(pages);
      EXPECT_NE(text.find(footer), std::string::npos) << name << ": " << footer;
    }
  }
  EXPECT_NE(ReadFileBytes(Pdf("sample.pdf")).find("/URI (https://www.merovant.com/)"), std::string::npos);
}

TEST(InvoiceExampleTest, EveryRowOnceInOrderTheHeaderOnEveryPageTheTotalLast) {
  const std::string program = ExamplePrograms().at("invoice");
  TTempDir dir;
  for (const int rows : {40, 250}) {
    const std::string pdf = dir.File("invoice-" + std::to_string(rows) + ".pdf");
    const TRunResult run = RunProgram({program, pdf, std::to_string(rows)});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadersComplaints(pdf), "");
    const std::string text = PdfToText(pdf).Out;
    const size_t pages = Count(text, "\f");
    EXPECT_GT(pages, size_t(rows / 20));
    size_t at = 0;
    for (int row = 1; row <= rows; ++row) {
      const std::string label = "Row " + std::to_string(row) + "\n";
      EXPECT_EQ(Count(text, label), 1u) << label;
      at = text.find(label, at);
      ASSERT_NE(at, std::string::npos) << label;
    }
    EXPECT_EQ(Count(text, "Unit price"), pages);
    // Every description begins with the same sentence, which fits its first line.
    EXPECT_EQ(Count(text, "Layout of the monthly report, first draft."), size_t(rows));
    EXPECT_EQ(Count(text, "Total"), 1u);
    EXPECT_GT(text.find("Total"), text.rfind("\f", text.size() - 2));  // on the last page
    EXPECT_NE(text.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)), std::string::npos);
  }
  EXPECT_EQ(RunProgram({program, dir.File("bad.pdf"), "-1"}).Status, 2);
}

TEST(DemoUsageTest, MissingOrUnwritableOutputFails) {
  const TRunResult noArgument = RunProgram({DEMO_PROGRAM});
  EXPECT_EQ(noArgument.Status, 2);
  EXPECT_NE(noArgument.Err.find("usage"), std::string::npos);

  TTempDir dir;
  const TRunResult unwritable = RunProgram({DEMO_PROGRAM, dir.File("missing/sample.pdf")});
  EXPECT_EQ(unwritable.Status, 1);
  EXPECT_NE(unwritable.Err.find("vellix-demo: "), std::string::npos) << unwritable.Err;
  EXPECT_FALSE(FileExists(dir.File("missing/sample.pdf")));
}

TEST(SmallExamplesTest, EachWritesASoundDocument) {
  const auto programs = ExamplePrograms();
  ASSERT_EQ(programs.size(), 8u);
  // Text each example must show, by topic.
  const std::map<std::string, std::string> expected = {
      {"hello", "Hello, PDF!"}, {"text", "Price: 12,50 €"}, {"stream", "Page 2"}, {"grid", "Mercury"},
      {"shapes", ""},           {"images", ""},           {"navigation", "Page 4 of 4"}, {"invoice", "Row 40"}};
  TTempDir dir;
  for (const auto& [topic, program] : programs) {
    const std::string pdf = dir.File(topic + ".pdf");
    const TRunResult run = RunProgram({program, pdf});
    ASSERT_EQ(run.Status, 0) << topic << "\n" << run.Err;
    const TRunResult check = QpdfCheck(pdf);
    EXPECT_EQ(check.Status, 0) << topic << "\n" << check.Out << check.Err;
    const TRunResult text = PdfToText(pdf);
    EXPECT_EQ(text.Status, 0) << topic;
    EXPECT_EQ(text.Err, "") << topic;
    const auto wanted = expected.find(topic);
    if (wanted != expected.end()) {
      EXPECT_NE(text.Out.find(wanted->second), std::string::npos) << topic;
    }
    EXPECT_EQ(RunProgram({program}).Status, 2) << topic << " without an output path";
  }
  EXPECT_EQ(ImageRows(dir.File("images.pdf")).size(), 3u);
}

}  // namespace
