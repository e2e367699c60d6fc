// Tables that flow over pages: rows one after another, a page break where
// the next row does not fit, the header rows again on every page, rows that
// grow with their text and rows taller than a page split, nothing lost.

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

std::vector<std::string> Words(const std::string& aText) {
  std::vector<std::string> words;
  std::stringstream in(aText);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

size_t Count(const std::string& aText, const std::string& aWhat) {
  size_t n = 0;
  for (size_t at = aText.find(aWhat); at != std::string::npos; at = aText.find(aWhat, at + 1)) ++n;
  return n;
}

// A two-column grid: a one-line label and a wrapping text.
void DefineTwoColumns(TPdfCanvas& aCanvas) {
  aCanvas.Font().SetName("Arial");
  aCanvas.Font().SetSize(10);
  aCanvas.Brush().SetStyle(bsClear);
  aCanvas.DefineGrid("t", taLeftJustify, 10);
  aCanvas.DefineCol("t", 300, taLeftJustify, vaTop, false);
  aCanvas.DefineCol("t", 1200, taLeftJustify, vaTop, true);
  aCanvas.DefineCol("t", 0, taLeftJustify, vaTop, false);
}

std::string Sentence(int aRow) {
  std::string text;
  for (int i = 0; i <= aRow % 4; ++i) text += "word" + std::to_string(aRow) + "x" + std::to_string(i) + " and some more text ";
  return text;
}

}  // namespace

TEST(Table, RowsFlowOverPagesWithTheirHeadersAndNothingLost) {
  TTempDir dir;
  const std::string pdf = dir.File("flow.pdf");
  int breaks = 0;
  std::vector<int> footerPages;
  WriteDocument(pdf, [&](TVellix& d) {
    DefineTwoColumns(d.Canvas());
    TPdfTable table(d, "t");
    table.SetBottom(2700);
    table.SetPageTop(150);
    table.SetMinRowHeight(60);
    table.SetOnPageBreak([&](TPdfTable& t) {
      footerPages.push_back(t.Document().PageNumber());
      t.Document().Canvas().TextOut(200, 2800, "continued");
    });
    table.Begin(200, 600);
    TTableRow header({"Label", "Text"});
    header.Style.FontStyle = TFontStyles{fsBold};
    header.Brush = TBrush();
    table.AddHeaderRow(header);
    for (int row = 1; row <= 300; ++row) {
      table.AddRow(TTableRow({"Row " + std::to_string(row), Sentence(row)}));
      EXPECT_LE(table.NextRowTop(), 2700);
    }
    breaks = table.PageBreaks();
    EXPECT_EQ(table.RowHeight(TTableRow({"x", ""})), 60);  // the minimum
    EXPECT_GT(table.RowHeight(TTableRow({"x", Sentence(3) + Sentence(3)})), 60);
  });
  EXPECT_EQ(ReadersComplaints(pdf), "");
  EXPECT_EQ(CheckPdfContents(ReadFileBytes(pdf)), std::vector<std::string>{});
  ASSERT_GT(breaks, 3);
  EXPECT_EQ(footerPages.size(), size_t(breaks));
  for (size_t i = 0; i < footerPages.size(); ++i) EXPECT_EQ(footerPages[i], int(i) + 1);

  const std::string text = PdfToText(pdf).Out;
  // Every row once, in order, and the header on every page.
  size_t at = 0;
  for (int row = 1; row <= 300; ++row) {
    const std::string label = "Row " + std::to_string(row) + "\n";
    EXPECT_EQ(Count(text, label), 1u) << label;
    const size_t found = text.find(label, at);
    ASSERT_NE(found, std::string::npos) << label;
    at = found;
  }
  EXPECT_EQ(Count(text, "Label"), size_t(breaks) + 1);
  EXPECT_EQ(Count(text, "continued"), size_t(breaks));
  // The words of the wrapped texts, all of them in order.
  std::vector<std::string> expected, drawn;
  for (int row = 1; row <= 300; ++row)
    for (const std::string& w : Words(Sentence(row))) expected.push_back(w);
  for (const std::string& w : Words(text))
    if (w.rfind("word", 0) == 0 || w == "and" || w == "some" || w == "more" || w == "text") drawn.push_back(w);
  EXPECT_EQ(drawn, expected);
}

TEST(Table, ARowTallerThanAPageContinuesOnTheNext) {
  TTempDir dir;
  const std::string pdf = dir.File("tall.pdf");
  std::string tall;
  for (int i = 0; i < 600; ++i) tall += "part" + std::to_string(i) + " ";
  int breaks = 0;
  WriteDocument(pdf, [&](TVellix& d) {
    DefineTwoColumns(d.Canvas());
    TPdfTable table(d, "t");
    table.SetBottom(2800);
    table.Begin(200, 200);
    table.AddHeaderRow(TTableRow({"Label", "Text"}));
    table.AddRow(TTableRow({"before", "a short row first"}));
    table.AddRow(TTableRow({"tall", tall}));
    table.AddRow(TTableRow({"after", "and one after it"}));
    breaks = table.PageBreaks();
  });
  EXPECT_EQ(ReadersComplaints(pdf), "");
  EXPECT_GE(breaks, 2);
  const std::string text = PdfToText(pdf).Out;
  std::vector<std::string> parts;
  for (const std::string& w : Words(text))
    if (w.rfind("part", 0) == 0) parts.push_back(w);
  EXPECT_EQ(parts, Words(tall));  // every part once, in order: continued, never cut
  EXPECT_EQ(Count(text, "Label"), size_t(breaks) + 1);
  EXPECT_LT(text.find("before"), text.find("part0"));
  EXPECT_GT(text.find("after"), text.find("part599"));
}

TEST(Table, AHeaderOrASplitRowWithoutRoomFails) {
  TTempDir dir;
  EXPECT_EQ(MessageOf([&] {
              TVellix doc;
              doc.SetFileName(dir.File("header.pdf"));
              doc.BeginDoc();
              DefineTwoColumns(doc.Canvas());
              TPdfTable table(doc, "t");
              table.SetBottom(300);
              table.Begin(200, 250);
              table.AddHeaderRow(TTableRow({"Label", "A header too tall for the room left above the bottom"}));
            }),
            "Grid row out of page: t");
  EXPECT_EQ(MessageOf([&] {
              TVellix doc;
              doc.SetFileName(dir.File("split.pdf"));
              doc.BeginDoc();
              DefineTwoColumns(doc.Canvas());
              TPdfTable table(doc, "t");
              table.SetBottom(230);  // the header leaves no room for a line
              table.Begin(200, 150);
              table.AddHeaderRow(TTableRow({"Label", "Text"}));
              table.AddRow(TTableRow({"row", "text"}));
            }),
            "Grid row out of page: t");
  EXPECT_EQ(MessageOf([&] {
              TVellix doc;
              doc.SetFileName(dir.File("name.pdf"));
              doc.BeginDoc();
              TPdfTable table(doc, "no such grid");
            }),
            "Invalid Grid name: no such grid");
  EXPECT_FALSE(FileExists(dir.File("header.pdf")));
  // After an abort the table draws nothing and raises nothing.
  TVellix doc;
  doc.SetFileName(dir.File("aborted.pdf"));
  doc.BeginDoc();
  DefineTwoColumns(doc.Canvas());
  TPdfTable table(doc, "t");
  doc.Abort();
  EXPECT_EQ(MessageOf([&] {
              table.Begin(200, 200);
              table.AddHeaderRow(TTableRow({"Label"}));
              for (int i = 0; i < 100; ++i) table.AddRow(TTableRow({"row", std::string(5000, 'x')}));
            }),
            "(no exception)");
}
