// The canvas's layout tools: clipping, transformations and saved states
// (checked in rendered pixels and in the positions pdftotext reads),
// justified text, measuring before drawing, cells that say what did not fit,
// row brushes and cell styles.

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ContentChecker.h"
#include "support/Pixmap.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

struct TWordBox {
  double XMin, YMin, XMax, YMax;
  std::string Text;
};

// The <word> or <line> boxes of `pdftotext -bbox-layout` for page 1.
std::vector<TWordBox> Boxes(const std::string& aPdf, const std::string& aElement) {
  const std::string xml = PdfToText(aPdf, {"-f", "1", "-l", "1", "-bbox-layout"}).Out;
  std::vector<TWordBox> boxes;
  const std::regex box("<" + aElement + " xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">");
  for (std::sregex_iterator it(xml.begin(), xml.end(), box), end; it != end; ++it) {
    TWordBox b{std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]), ""};
    if (aElement == "word") {
      const size_t from = size_t(it->position() + it->length());
      b.Text = xml.substr(from, xml.find('<', from) - from);
    }
    boxes.push_back(b);
  }
  return boxes;
}

TWordBox WordBox(const std::string& aPdf, const std::string& aWord) {
  for (const TWordBox& b : Boxes(aPdf, "word"))
    if (b.Text == aWord) return b;
  ADD_FAILURE() << aWord << " not found";
  return {};
}

void InPoints(TVellix& aDoc) { aDoc.SetLengthUnit(luPoint); }

void ExpectSound(const std::string& aPdf) {
  EXPECT_EQ(ReadersComplaints(aPdf), "");
  EXPECT_EQ(MutoolDraw(aPdf).Status, 0);
  EXPECT_EQ(CheckPdfContents(ReadFileBytes(aPdf)), std::vector<std::string>{});
}

}  // namespace

// ---- Clipping, transformations, saved states ----

TEST(CanvasState, ClippedShapesPaintOnlyInsideTheClip) {
  TTempDir dir;
  const std::string pdf = dir.File("clip.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Pen().SetStyle(psClear);
    c.SaveState();
    c.ClipRect(Rect(200, 300, 100, 200));  // corners reversed
    c.ClipRect(Rect(150, 150, 400, 400));  // clips only narrow: 150..200 x 200..300 remains
    c.Brush().SetColor(clRed);
    c.Rectangle(0, 0, 595, 842);
    c.RestoreState();
    c.Brush().SetColor(clBlue);  // after the restore nothing is clipped
    c.Rectangle(400, 600, 500, 700);
  }, InPoints);
  ExpectSound(pdf);
  const TPixmap page = RenderPage(pdf, 1, 72, dir.File("clip"));
  ASSERT_EQ(page.Width(), 595);
  EXPECT_EQ(page.CountNear(255, 0, 0, 151, 201, 199, 299), 48 * 98);  // all of the clip is red
  EXPECT_EQ(page.CountNear(255, 0, 0), page.CountNear(255, 0, 0, 150, 200, 200, 300));  // none outside
  EXPECT_EQ(page.CountNear(0, 0, 255, 401, 601, 499, 699), 98 * 98);
}

TEST(CanvasState, TransformedTextLandsWhereTheTransformationPutsIt) {
  TTempDir dir;
  const std::string pdf = dir.File("transform.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(10);
    c.TextOut(100, 100, "Plain");
    c.SaveState();
    c.Translate(100, 200);
    c.Scale(2, 2);
    c.TextOut(0, 0, "Scaled");
    c.RestoreState();
    c.SaveState();
    c.Translate(300, 300);
    c.Rotate(90);  // clockwise on the page: the text runs down
    c.TextOut(0, 0, "Rotated");
    c.RestoreState();
  }, InPoints);
  ExpectSound(pdf);
  const TWordBox plain = WordBox(pdf, "Plain"), scaled = WordBox(pdf, "Scaled"), rotated = WordBox(pdf, "Rotated");
  EXPECT_NEAR(plain.XMin, 100, 0.01);
  EXPECT_NEAR(scaled.XMin, 100, 0.01);
  // Twice the size: the top of the line box at 200 + 2 x (its offset unscaled).
  EXPECT_NEAR(scaled.YMin, 200 + 2 * (plain.YMin - 100), 0.05);
  EXPECT_NEAR(scaled.YMax - scaled.YMin, 2 * (plain.YMax - plain.YMin), 0.05);
  // Turned a quarter clockwise about (300, 300): the line runs downwards from
  // there, and what was below the text's top now lies to the left of x = 300.
  EXPECT_NEAR(rotated.YMin, 300, 0.01);
  EXPECT_NEAR(rotated.XMax, 300 - (plain.YMin - 100), 0.05);
  EXPECT_NEAR(rotated.XMax - rotated.XMin, plain.YMax - plain.YMin, 0.05);
}

TEST(CanvasState, RestoreBringsBackPenBrushFontAndAngle) {
  TTempDir dir;
  WriteDocument(dir.File("state.pdf"), [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Pen().SetColor(clGreen);
    c.Brush().SetColor(clYellow);
    c.Font().SetName("Times New Roman");
    c.SaveState();
    c.Pen().SetColor(clRed);
    c.Pen().SetWidth(9);
    c.Brush().SetStyle(bsClear);
    c.Font().SetName("Courier New");
    c.Font().SetStyle({fsBold});
    c.SetFontDegreeAngle(45);
    const int32_t size = c.Font().Size();
    c.SaveState();  // nested
    c.Font().SetSize(size + 20);
    c.RestoreState();
    EXPECT_EQ(c.Font().Size(), size);
    EXPECT_EQ(c.Font().Name(), "Courier New");
    c.RestoreState();
    EXPECT_EQ(c.Pen().Color(), clGreen);
    EXPECT_EQ(c.Pen().Width(), 1);
    EXPECT_EQ(c.Brush().Style(), bsSolid);
    EXPECT_EQ(c.Brush().Color(), clYellow);
    EXPECT_EQ(c.Font().Name(), "Times New Roman");
    EXPECT_EQ(c.Font().Style(), TFontStyles{});
    EXPECT_EQ(c.FontAngle(), 0);
    EXPECT_EQ(c.SavedStates(), 0);
  });
}

TEST(CanvasState, StatesLeftOpenCloseWithTheirPage) {
  TTempDir dir;
  const std::string pdf = dir.File("open.pdf");
  const std::string bytes = WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.SaveState();
    c.SaveState();
    c.ClipRect(Rect(0, 0, 100, 100));
    d.NewPage();
    EXPECT_EQ(c.SavedStates(), 0);
    c.Rectangle(200, 200, 400, 400);  // not clipped on the new page
  });
  ExpectSound(pdf);  // the content checker finds q and Q balanced on each page
  EXPECT_EQ(MessageOf([&] {
              TVellix doc;
              doc.SetFileName(dir.File("unbalanced.pdf"));
              doc.BeginDoc();
              doc.Canvas().RestoreState();
            }),
            "Invalid method call: RestoreState");
}

// ---- Justified text ----

TEST(Justified, LinesEndAtTheRightEdgeButTheLastOfEachParagraph) {
  TTempDir dir;
  const std::string pdf = dir.File("justified.pdf");
  const std::string paragraph =
      "Justified text stretches the blanks of every line so that it ends at the right edge of the box, "
      "except the last line of a paragraph, which keeps its natural width as in any book.";
  WriteDocument(pdf, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font().SetName("Times New Roman");
    c.Font().SetSize(11);
    c.Font().SetStyle({fsUnderline});
    c.DrawText(72, 72, 300, 0, taJustify, vaTop, paragraph + "\r\n" + paragraph);
  }, InPoints);
  ExpectSound(pdf);
  EXPECT_EQ(PdfToText(pdf).Out.substr(0, 18), "Justified text str");
  const std::vector<TWordBox> lines = Boxes(pdf, "line");
  ASSERT_GE(lines.size(), 6u);
  // Each paragraph's last line is the one with its last word.
  std::vector<double> lastLines;
  for (const TWordBox& word : Boxes(pdf, "word"))
    if (word.Text == "book.") lastLines.push_back(word.YMin);
  ASSERT_EQ(lastLines.size(), 2u);
  int stretched = 0, natural = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_NEAR(lines[i].XMin, 72, 0.01);
    const bool lastOfParagraph = std::abs(lines[i].YMin - lastLines[0]) < 0.5 || std::abs(lines[i].YMin - lastLines[1]) < 0.5;
    if (lastOfParagraph) {
      EXPECT_LT(lines[i].XMax, 299) << i;
      ++natural;
    } else {
      EXPECT_NEAR(lines[i].XMax, 300, 0.5) << i;
      ++stretched;
    }
  }
  EXPECT_EQ(natural, 2);
  EXPECT_EQ(stretched, int(lines.size()) - 2);
  // The word spacing is set for each stretched line alone.
  const std::string content = PageContents(ReadFileBytes(pdf))[0];
  size_t tw = 0;
  for (size_t at = content.find(" Tw\r\n"); at != std::string::npos; at = content.find(" Tw\r\n", at + 1)) ++tw;
  EXPECT_EQ(tw, 2 * size_t(stretched));
}

// ---- Measuring, and what did not fit ----

TEST(Measure, MeasureTextCountsTheLinesDrawTextDraws) {
  TTempDir dir;
  WriteDocument(dir.File("measure.pdf"), [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(10);
    const std::string texts[] = {"", "one", "A sentence that must wrap in a narrow box, twice or more.",
                                 "Line\r\nbreaks\nand\rmore", std::string(300, 'x')};
    for (const std::string& text : texts)
      for (const int32_t width : {60, 300, 1500}) {
        const TTextMeasure measure = c.MeasureText(width, text);
        c.SetTextY(100);
        c.DrawText(100, 100, 100 + width, 1, taLeftJustify, vaTop, text);  // a bottom above the top: no limit
        EXPECT_EQ(measure.Height, c.TextY() - 100) << text << " in " << width;
        EXPECT_EQ(measure.Height, measure.Lines * c.TextHeight("A"));
        d.NewPage();
      }
    EXPECT_EQ(c.MeasureText(300, "Line\r\nbreaks\nand\rmore").Lines, 4);
  });
}

TEST(Measure, ACellAsHighAsMeasuredShowsAllItsText) {
  TTempDir dir;
  const std::string pdf = dir.File("cells.pdf");
  const std::string text = "A description long enough to wrap over several lines of a narrow column.";
  WriteDocument(pdf, [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(10);
    c.DefineGrid("g", taLeftJustify, 15);
    c.DefineCol("g", 400, taLeftJustify, vaTop, true);
    c.DefineCol("g", 300, taLeftJustify, vaTop, false);
    c.DrawGrid("g", 200, 200);
    const TTextMeasure need = c.MeasureCell("g", 0, text);
    EXPECT_GT(need.Lines, 2);
    EXPECT_EQ(need.Height, need.Lines * c.TextHeight("A") + 30);
    c.DrawRow("g", need.Height);
    EXPECT_EQ(c.TextToCell("g", 0, 0, text), 0);
    c.DrawRow("g", need.Height - 1);  // one unit short: the last line does not fit
    const int32_t left = c.TextToCell("g", 0, 1, text);
    EXPECT_GT(left, 0);
    EXPECT_LT(left, int32_t(text.size()));
    // A one-line cell says how much it cut at its right.
    EXPECT_EQ(c.MeasureCell("g", 1, text).Lines, 1);
    const int32_t cut = c.TextToCell("g", 1, 1, text);
    EXPECT_GT(cut, 0);
    EXPECT_EQ(c.TextToCell("g", 1, 0, "short"), 0);
    EXPECT_EQ(MessageOf([&] { c.MeasureCell("g", 2, text); }), "Invalid cell: g(2,-1)");
  });
  EXPECT_TRUE(!FileExists(pdf));  // the invalid cell aborted the document
}

// ---- Row brushes and cell styles ----

TEST(CellStyles, ARowBrushShadesTheRowAndCellStylesOverrideTheColumn) {
  TTempDir dir;
  const std::string pdf = dir.File("styles.pdf");
  WriteDocument(pdf, [](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(10);
    c.Brush().SetColor(clYellow);  // the columns' own background
    c.DefineGrid("g", taLeftJustify, 5);
    c.DefineCol("g", 200, taLeftJustify, vaTop, false);
    c.DefineCol("g", 200, taLeftJustify, vaTop, true);
    c.DrawGrid("g", 100, 100);
    TBrush shade;
    shade.SetColor(clBlue);
    c.DrawRow("g", 30, shade);
    c.TextToCell("g", 0, 0, "Header", TCellStyle{std::nullopt, std::nullopt, TFontStyles{fsBold}});
    c.TextToCell("g", 1, 0, "Right", TCellStyle{taRightJustify, std::nullopt, std::nullopt});
    c.DrawRow("g", 30);
    c.TextToCell("g", 0, 1, "Plain");
    EXPECT_EQ(c.Font().Style(), TFontStyles{});  // the cell's style was for the cell alone
  }, InPoints);
  ExpectSound(pdf);
  const TPixmap page = RenderPage(pdf, 1, 72, dir.File("styles"));
  EXPECT_GT(page.CountNear(0, 0, 255, 100, 100, 500, 130), 380 * 25);    // the shaded row, both columns
  EXPECT_GT(page.CountNear(255, 255, 0, 100, 130, 500, 160), 380 * 25);  // the columns' yellow below
  EXPECT_NEAR(WordBox(pdf, "Right").XMax, 495, 1);  // right-aligned in the wrapping column's inner width
  EXPECT_NE(PdfFonts(pdf).Out.find("Arial,Bold"), std::string::npos);
}
