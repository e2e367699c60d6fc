// Links, named destinations, the outline and the page count, read back with
// the independent readers: qpdf (through links.py) for the link annotations,
// mutool for the outline, poppler for the destinations and the text.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::vector<std::string> Lines(const std::string& aText) {
  std::vector<std::string> lines;
  std::stringstream in(aText);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> LinksOf(const std::string& aPdf) {
  const TRunResult run = RunProgram({"python3", LINKS_SCRIPT, aPdf});
  EXPECT_EQ(run.Status, 0) << run.Err;
  return Lines(run.Out);
}

std::vector<std::string> OutlineOf(const std::string& aPdf) {
  const TRunResult run = RunProgram({"mutool", "show", aPdf, "outline"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  return Lines(run.Out);
}

std::vector<std::string> DestinationsOf(const std::string& aPdf) {
  const TRunResult run = RunProgram({"pdfinfo", "-dests", aPdf});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  return Lines(run.Out);
}

// mutool's stderr without the notice of a build of it that has no colour
// management, which it prints for every file.
std::string WithoutIccNotice(std::string aErr) {
  const std::string notice = "warning: ICC support is not available\n";
  for (size_t at; (at = aErr.find(notice)) != std::string::npos;) aErr.erase(at, notice.size());
  return aErr;
}

// Every reader accepts the file, and its page contents are sound.
void ExpectReadable(const std::string& aPdf) {
  EXPECT_EQ(ReadersComplaints(aPdf), "");
  const TRunResult draw = MutoolDraw(aPdf);
  EXPECT_EQ(draw.Status, 0) << draw.Err;
  EXPECT_EQ(WithoutIccNotice(draw.Err), "");
  EXPECT_EQ(CheckPdfContents(ReadFileBytes(aPdf)), std::vector<std::string>{});
  EXPECT_EQ(CheckXref(ReadFileBytes(aPdf)), std::vector<std::string>{});
}

void SetFont(TPdfCanvas& aCanvas) {
  aCanvas.Font().SetName("Arial");
  aCanvas.Font().SetSize(12);
}

// "Page n of N" at the foot of the current page.
void Footer(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const std::string lead = "Page " + std::to_string(aDoc.PageNumber()) + " of ";
  c.TextOut(200, 2800, lead);
  c.PageCountOut(200 + c.TextWidth(lead), 2800, 0, taLeftJustify);
}

}  // namespace

TEST(Navigation, LinksOpenUrisAndJumpToPagesBeforeAndAfterThem) {
  TTempDir dir;
  const std::string pdf = dir.File("links.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    SetFont(c);
    c.TextOut(200, 200, "Links");
    c.LinkToUri(Rect(200, 200, 1000, 260), "https://example.org/a(b)?c=1");
    c.LinkToPage(Rect(1000, 400, 200, 300), 3, 100, clRed);  // forward, corners reversed
    c.LinkToPage(Rect(200, 500, 1000, 600), 1);              // its own page
    d.NewPage();
    d.NewPage();
    c.LinkToPage(Rect(0, 0, 2100, 2970), 1, 2970);           // back to the first page
    c.LinkToPage(Rect(0, 0, 100, 100), 3);                   // to the last page, from itself
  });
  ExpectReadable(pdf);
  EXPECT_EQ(LinksOf(pdf), (std::vector<std::string>{
                              "page 1: [56.693 768.189 283.465 785.197] border 0 -> uri https://example.org/a(b)?c=1",
                              "page 1: [56.693 728.504 283.465 756.85] border 1 -> page 3 top 813.543",
                              "page 1: [56.693 671.811 283.465 700.157] border 0 -> page 1 top 841.89",
                              "page 3: [0 0 595.276 841.89] border 0 -> page 1 top 0",
                              "page 3: [0 813.543 28.346 841.89] border 0 -> page 3 top 841.89",
                          }));
  // A document without an outline or named destinations keeps its first catalog.
  EXPECT_NE(ReadFileBytes(pdf).find("/Root 2 0 R"), std::string::npos);
}

TEST(Navigation, LinkBorderTakesItsColour) {
  TTempDir dir;
  const std::string pdf = dir.File("border.pdf");
  const std::string bytes = WriteDocument(pdf, [](TVellix& d) {
    d.Canvas().LinkToUri(Rect(100, 100, 500, 200), "https://example.org/", clBlue);
  });
  ExpectReadable(pdf);
  EXPECT_NE(bytes.find("/Border [0 0 1]\r\n/C [0 0 1 ]\r\n"), std::string::npos);
}

TEST(Navigation, NamedDestinationsResolveLinksMadeBeforeAndAfterThem) {
  TTempDir dir;
  const std::string pdf = dir.File("names.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    SetFont(c);
    c.TextOut(200, 200, "Contents");
    c.LinkToDestination(Rect(200, 300, 1000, 360), "chapter 2");  // defined two pages on
    d.AddDestination("contents", 200, 200);
    d.NewPage();
    d.AddDestination("chapter 1 (intro)", 0, 100);
    d.NewPage();
    d.AddDestination("chapter 2", 300, 0);
    c.LinkToDestination(Rect(200, 300, 1000, 360), "contents");  // defined before
  });
  ExpectReadable(pdf);
  EXPECT_EQ(LinksOf(pdf), (std::vector<std::string>{
                              "page 1: [56.693 739.843 283.465 756.85] border 0 -> name chapter 2",
                              "page 3: [56.693 739.843 283.465 756.85] border 0 -> name contents",
                          }));
  const std::vector<std::string> dests = DestinationsOf(pdf);
  ASSERT_EQ(dests.size(), 4u);
  // pdfinfo lists them by page.
  EXPECT_EQ(dests[1], "   1 [ XYZ   57  785 null      ] \"contents\"");
  EXPECT_EQ(dests[2], "   2 [ XYZ    0  814 null      ] \"chapter 1 (intro)\"");
  EXPECT_EQ(dests[3], "   3 [ XYZ   85  842 null      ] \"chapter 2\"");
  EXPECT_EQ(ReadFileBytes(pdf).find("/Root 2 0 R"), std::string::npos);
}

TEST(Navigation, OutlineHasItsLevelsTargetsAndOpenState) {
  TTempDir dir;
  const std::string pdf = dir.File("outline.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    d.AddOutline("Contents", 1, 1);
    d.AddOutline("Part I", 1, 2);                     // forward: page 2 is not written yet
    d.AddOutline("Chapter 1", 2, 2, 500);
    d.AddOutline("Section 1.1", 4, 2, 1000, false);  // two levels down: taken as level 3
    d.AddOutline("", 4, 3);                           // an empty title
    d.AddOutlineToDestination("Chapter 2", 2, "ch2");
    d.AddOutline("\xDC" "bersicht \x80", 1, 3, 0, false);
    d.AddOutline("Closed child", 2, 1);
    d.NewPage();
    d.NewPage();
    d.AddDestination("ch2", 0, 300);
  });
  ExpectReadable(pdf);
  // mutool: "-" an open entry with children, "+" a closed one, "|" none;
  // then the title in UTF-8 and the target as page, left (nan: kept) and
  // height from the top.
  EXPECT_EQ(OutlineOf(pdf), (std::vector<std::string>{
                                "|\t\"Contents\"\t#page=1&zoom=nan,nan,0",
                                "-\t\"Part I\"\t#page=2&zoom=nan,nan,0",
                                "-\t\t\"Chapter 1\"\t#page=2&zoom=nan,nan,141.73303",
                                "+\t\t\t\"Section 1.1\"\t#page=2&zoom=nan,nan,283.46504",
                                "|\t\t\t\t\"\"\t#page=3&zoom=nan,nan,0",
                                "|\t\t\"Chapter 2\"\t#page=3&zoom=nan,0,85.04004",
                                "+\t\"\xC3\x9C" "bersicht \xE2\x82\xAC\"\t#page=3&zoom=nan,nan,0",
                                "|\t\t\"Closed child\"\t#page=1&zoom=nan,nan,0",
                            }));
  const std::string bytes = ReadFileBytes(pdf);
  EXPECT_NE(bytes.find("/PageMode /UseOutlines"), std::string::npos);
  // Shown at first: Contents, Part I, Chapter 1, Section 1.1 (closed), Chapter 2, Übersicht (closed).
  EXPECT_NE(bytes.find("/Type /Outlines\r\n/First 6 0 R\r\n/Last 12 0 R\r\n/Count 6\r\n"), std::string::npos);
}

TEST(Navigation, AThousandEntryOutlineKeepsItsShapeAndCounts) {
  TTempDir dir;
  const std::string pdf = dir.File("thousand.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    for (int i = 0; i < 1000; ++i) {
      if (i % 100 == 0 && i > 0) d.NewPage();
      // Levels 1, 2, 3, 2, 3, ... : every tenth entry starts a new top entry.
      const int level = i % 10 == 0 ? 1 : 2 + i % 2;
      d.AddOutline("Entry " + std::to_string(i), level, d.PageNumber(), i % 100 * 20, i % 20 != 0);
    }
  });
  ExpectReadable(pdf);
  const std::vector<std::string> outline = OutlineOf(pdf);
  ASSERT_EQ(outline.size(), 1000u);
  EXPECT_EQ(outline[0], "+\t\"Entry 0\"\t#page=1&zoom=nan,nan,0");
  EXPECT_EQ(outline[10], "-\t\"Entry 10\"\t#page=1&zoom=nan,nan,56.692995");
  EXPECT_EQ(outline[999], "|\t\t\t\"Entry 999\"\t#page=10&zoom=nan,nan,561.26");
  // Shown at first: the 100 top entries, and the 9 below each of the 50 open ones.
  EXPECT_NE(ReadFileBytes(pdf).find("/Type /Outlines\r\n/First 6 0 R\r\n/Last "), std::string::npos);
  const std::string bytes = ReadFileBytes(pdf);
  const size_t root = bytes.find("/Type /Outlines");
  EXPECT_NE(bytes.find("/Count 550\r\n", root), std::string::npos);
}

TEST(Navigation, PageCountShowsTheTotalOnEveryPageInEveryAlignment) {
  TTempDir dir;
  const std::string pdf = dir.File("count.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    SetFont(c);
    for (int page = 1; page <= 12; ++page) {
      if (page > 1) d.NewPage();
      Footer(d);
      c.PageCountOut(1000, 1000, 500, taRightJustify);
      c.PageCountOut(1000, 1200, 500, taCenter);
      c.Font().SetStyle({fsBold, fsUnderline});
      c.Font().SetColor(clRed);
      c.PageCountOut(1000, 1400, 500, taLeftJustify);
      c.Font().SetStyle({});
      c.Font().SetColor(clBlack);
    }
  });
  ExpectReadable(pdf);
  EXPECT_EQ(PdfToText(pdf, {"-f", "3", "-l", "3", "-y", "780", "-H", "40", "-x", "0", "-W", "600"}).Out,
            "Page 3 of 12\n\n\f");
  // Where each count lands: right-aligned it ends at x = 1500, centred it is
  // centred on 1250, left-aligned it starts at 1000 (tenths of a millimetre).
  const std::string boxes = PdfToText(pdf, {"-f", "1", "-l", "1", "-bbox"}).Out;
  EXPECT_NE(boxes.find("xMax=\"425.197"), std::string::npos) << boxes;
  EXPECT_NE(boxes.find("xMin=\"347.671"), std::string::npos) << boxes;  // (347.671 + 360.991) / 2 = 354.331
  EXPECT_NE(boxes.find("xMin=\"283.465"), std::string::npos) << boxes;
  const std::string bytes = ReadFileBytes(pdf);
  // One form per font, size, underline and alignment: three fonts' worth, four forms.
  EXPECT_NE(bytes.find(" /Fm3 "), std::string::npos);
  EXPECT_EQ(bytes.find(" /Fm4 "), std::string::npos);
}

TEST(Navigation, PageCountOfOneAndOfTenThousandPages) {
  TTempDir dir;
  const std::string one = dir.File("one.pdf"), many = dir.File("many.pdf");
  WriteDocument(one, [](TVellix& d) {
    SetFont(d.Canvas());
    Footer(d);
  });
  ExpectReadable(one);
  EXPECT_EQ(PdfToText(one).Out, "Page 1 of 1\n\n\f");
  WriteDocument(many, [](TVellix& d) {
    SetFont(d.Canvas());
    for (int page = 1; page <= 10000; ++page) {
      if (page > 1) d.NewPage();
      Footer(d);
    }
  });
  EXPECT_EQ(QpdfCheck(many).Status, 0);
  EXPECT_EQ(PdfToText(many, {"-f", "9999", "-l", "10000"}).Out, "Page 9999 of 10000\n\n\fPage 10000 of 10000\n\n\f");
}

TEST(Navigation, RotatedPageCountTurnsWithTheText) {
  TTempDir dir;
  const std::string pdf = dir.File("rotated.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    SetFont(c);
    c.SetFontDegreeAngle(90);
    c.TextOut(1000, 1500, "Pages: ");
    c.PageCountOut(1000, 1500 - c.TextWidth("Pages: "), 0, taLeftJustify);
  });
  ExpectReadable(pdf);
  EXPECT_EQ(PdfToText(pdf).Out, "Pages: 1\n\n\f");
}

TEST(Navigation, CompactDocumentsCarryTheSameNavigation) {
  TTempDir dir;
  const std::string pdf = dir.File("compact.pdf");
  WriteDocument(
      pdf,
      [](TVellix& d) {
        SetFont(d.Canvas());
        d.Canvas().LinkToPage(Rect(100, 100, 500, 200), 2);
        d.AddOutlineToDestination("Second", 1, "second");
        Footer(d);
        d.NewPage();
        d.AddDestination("second");
        Footer(d);
      },
      [](TVellix& d) { d.SetCompressContent(true); });
  EXPECT_EQ(ReadersComplaints(pdf), "");
  EXPECT_EQ(MutoolDraw(pdf).Status, 0);
  EXPECT_EQ(LinksOf(pdf), std::vector<std::string>{"page 1: [28.346 785.197 141.732 813.543] border 0 -> page 2 top 841.89"});
  EXPECT_EQ(OutlineOf(pdf), std::vector<std::string>{"|\t\"Second\"\t#page=2&zoom=nan,0,0"});
  EXPECT_EQ(PdfToText(pdf).Out, "Page 1 of 2\n\n\fPage 2 of 2\n\n\f");
}

// ---- Errors: each aborts the document (no file is left) ----

namespace {

// The message of the error aDraw raises in a document, and whether the file
// is gone afterwards.
std::string ErrorOf(const std::function<void(TVellix&)>& aDraw) {
  TTempDir dir;
  const std::string pdf = dir.File("error.pdf");
  TVellix doc;
  doc.SetFileName(pdf);
  doc.BeginDoc();
  const std::string message = MessageOf([&] {
    aDraw(doc);
    doc.EndDoc();
  });
  EXPECT_TRUE(doc.Aborted()) << message;
  EXPECT_FALSE(FileExists(pdf)) << message;
  return message;
}

}  // namespace

TEST(Navigation, UnresolvedTargetsFailAtTheEndWithTheirName) {
  EXPECT_EQ(ErrorOf([](TVellix& d) {
              d.Canvas().LinkToDestination(Rect(0, 0, 10, 10), "appendix");
              d.AddDestination("index");
              d.Canvas().LinkToDestination(Rect(0, 0, 10, 10), "index");
            }),
            "Undefined destination: appendix");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddOutlineToDestination("Missing", 1, "nowhere"); }),
            "Undefined destination: nowhere");
  EXPECT_EQ(ErrorOf([](TVellix& d) {
              d.Canvas().LinkToPage(Rect(0, 0, 10, 10), 3);
              d.NewPage();
            }),
            "Invalid page number: 3 (the document has 2 pages)");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddOutline("Too far", 1, 5); }),
            "Invalid page number: 5 (the document has 1 pages)");
}

TEST(Navigation, BadArgumentsFailAtOnce) {
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.Canvas().LinkToPage(Rect(0, 0, 10, 10), 0); }), "Invalid page number: 0");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddOutline("Page minus one", 1, -1); }), "Invalid page number: -1");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddOutline("Level 0", 0, 1); }), "Bad parameters for method: AddOutline");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddOutlineToDestination("No name", 1, ""); }),
            "Bad parameters for method: AddOutlineToDestination");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.AddDestination(""); }), "Bad parameters for method: AddDestination");
  EXPECT_EQ(ErrorOf([](TVellix& d) { d.Canvas().LinkToDestination(Rect(0, 0, 10, 10), ""); }),
            "Bad parameters for method: LinkToDestination");
  EXPECT_EQ(ErrorOf([](TVellix& d) {
              d.AddDestination("twice");
              d.NewPage();
              d.AddDestination("twice");
            }),
            "Duplicate destination: twice");
}

TEST(Navigation, WithoutADocumentNothingIsRecorded) {
  TVellix doc;
  EXPECT_EQ(MessageOf([&] { doc.AddDestination("a"); }), "Document not opened");
  EXPECT_EQ(MessageOf([&] { doc.AddOutline("a", 1, 1); }), "Document not opened");
  EXPECT_EQ(MessageOf([&] { doc.Canvas().LinkToUri(Rect(0, 0, 1, 1), "x"); }), "Document not opened");
  EXPECT_EQ(MessageOf([&] { doc.Canvas().PageCountOut(0, 0, 0, taLeftJustify); }), "Document not opened");
  // After an abort every call is ignored, and the next document starts clean.
  TTempDir dir;
  doc.SetFileName(dir.File("next.pdf"));
  doc.BeginDoc();
  doc.Canvas().LinkToDestination(Rect(0, 0, 10, 10), "lost");
  doc.AddOutline("Lost", 1, 9);
  doc.Abort();
  EXPECT_EQ(MessageOf([&] {
              doc.AddDestination("x");
              doc.AddOutline("x", 1, 1);
              doc.Canvas().LinkToPage(Rect(0, 0, 1, 1), 1);
              doc.Canvas().PageCountOut(0, 0, 0, taLeftJustify);
            }),
            "(no exception)");
  doc.BeginDoc();
  doc.EndDoc();
  EXPECT_FALSE(doc.Aborted());
  EXPECT_EQ(ReadersComplaints(dir.File("next.pdf")), "");
}
