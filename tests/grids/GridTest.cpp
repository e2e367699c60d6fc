// Grids on a real document: placement, rows with their backgrounds and
// borders line for line, cell texts, errors through the error rule, and the
// grid's life across pages.

#include <gtest/gtest.h>

#include <cmath>

#include "GridTestSupport.h"
#include "writer/PdfNumber.h"

using namespace Vellix;
using namespace GridTest;

namespace {

std::string Num(long double aValue) { return FormatPdfNumber(aValue); }

// The grid of the worked example: 300, 200, 1000 (multi-line) and 0 wide,
// centred on an A4 page, blue pens of 5, 2, 2 and 5 tenths, margin 10.
void DefineFeatures(TPdfCanvas& c) {
  c.DefineGrid("Features", taCenter, 10);
  c.Pen().SetColor(clBlue);
  c.Pen().SetWidth(5);
  c.DefineCol("Features", 300, taLeftJustify, vaTop, false);
  c.Pen().SetWidth(2);
  c.DefineCol("Features", 200, taCenter, vaTop, false);
  c.DefineCol("Features", 1000, taLeftJustify, vaTop, true);
  c.Pen().SetWidth(5);
  c.DefineCol("Features", 0, taLeftJustify, vaTop, false);
}

}  // namespace

TEST(Grid, WorkedExampleLineForLine) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  c.DrawGrid("Features", 77, 400);
  TPdfGrid& g = c.GridByName("Features");
  EXPECT_EQ(g.Width(), 1500);
  ASSERT_EQ(g.ColDefs().size(), 4u);
  EXPECT_EQ(g.ColDefs()[0]->X(), 300);
  EXPECT_EQ(g.ColDefs()[1]->X(), 600);
  EXPECT_EQ(g.ColDefs()[2]->X(), 800);
  EXPECT_EQ(g.ColDefs()[3]->X(), 1800);

  const Lines row = Capture(c, [&] { c.DrawRow("Features", 60); });
  const std::string top = Num(c.YToPoint(400)), bottom = Num(c.YToPoint(460));
  const Lines expected = {
      // Backgrounds: the zero-width column has none.
      "1 1 1 rg", "85.039 " + bottom + " 85.039 17.008 re f",
      "1 1 1 rg", "170.079 " + bottom + " 56.693 17.008 re f",
      "1 1 1 rg", "226.772 " + bottom + " 283.465 17.008 re f",
      // Left borders in each column's pen.
      "0 0 1 RG", "[]0 d", "1.417 w", "85.039 " + top + " m", "85.039 " + bottom + " l S",
      "0 0 1 RG", "[]0 d", "0.567 w", "170.079 " + top + " m", "170.079 " + bottom + " l S",
      "0 0 1 RG", "[]0 d", "0.567 w", "226.772 " + top + " m", "226.772 " + bottom + " l S",
      "0 0 1 RG", "[]0 d", "1.417 w", "510.236 " + top + " m", "510.236 " + bottom + " l S",
      // The top border in the caller's pen.
      "0 0 1 RG", "[]0 d", "1.417 w", "85.039 " + top + " m", "510.236 " + top + " l S"};
  EXPECT_EQ(row, expected);

  // Text in column 0: offset by the margin from the cell's corner.
  const int32_t lh = c.TextHeight("A");
  const Lines cell = Capture(c, [&] { c.TextToCell("Features", 0, 0, "Lines"); });
  EXPECT_EQ(cell, Capture(c, [&] { c.TextOut(310, 410, "Lines"); }));
  EXPECT_EQ(c.TextY(), 410 + lh);
}

TEST(Grid, EveryErrorHasItsMessageAndAbortsTheDocument) {
  struct TCase {
    const char* Message;
    std::function<void(TPdfCanvas&)> Action;
  };
  const std::vector<TCase> cases = {
      {"Invalid Grid name: Nope", [](TPdfCanvas& c) { c.DefineCol("Nope", 10, taLeftJustify, vaTop, false); }},
      {"Invalid Grid name: Nope", [](TPdfCanvas& c) { c.DrawGrid("Nope", 0, 0); }},
      {"Invalid Grid name: Nope", [](TPdfCanvas& c) { c.DrawRow("Nope", 10); }},
      {"Invalid Grid name: Nope", [](TPdfCanvas& c) { c.TextToCell("Nope", 0, 0, "x"); }},
      {"Invalid Grid name: Nope", [](TPdfCanvas& c) { c.GridByName("Nope"); }},
      {"Grid Cols not defined: Bare",
       [](TPdfCanvas& c) { c.DefineGrid("Bare", taLeftJustify, 0); c.DrawGrid("Bare", 0, 0); }},
      {"Grid Cols not defined: Bare",
       [](TPdfCanvas& c) { c.DefineGrid("Bare", taLeftJustify, 0); c.DrawRow("Bare", 10); }},
      {"Grid too wide: Features (2500)",
       [](TPdfCanvas& c) {
         c.DefineGrid("Features", taLeftJustify, 0);
         c.DefineCol("Features", 2000, taLeftJustify, vaTop, false);
         c.DefineCol("Features", 500, taLeftJustify, vaTop, false);
         c.DrawGrid("Features", 0, 0);
       }},
      {"Grid too wide: Features (1500)",  // right-justified: X is the right edge
       [](TPdfCanvas& c) { DefineFeatures(c); c.GridByName("Features").SetAlignment(taRightJustify);
                           c.DrawGrid("Features", 1499, 0); }},
      {"Grid too wide: Features (1500)",
       [](TPdfCanvas& c) { DefineFeatures(c); c.GridByName("Features").SetAlignment(taLeftJustify);
                           c.DrawGrid("Features", 601, 0); }},
      {"Grid row out of page: Features", [](TPdfCanvas& c) { DefineFeatures(c); c.DrawRow("Features", 10); }},
      {"Grid row out of page: Features",
       [](TPdfCanvas& c) { DefineFeatures(c); c.DrawGrid("Features", 0, 2900); c.DrawRow("Features", 71); }},
      {"Invalid cell: Features(3,9)",
       [](TPdfCanvas& c) { DefineFeatures(c); c.DrawGrid("Features", 0, 100); c.DrawRow("Features", 60);
                           c.TextToCell("Features", 3, 9, "x"); }},
      {"Invalid cell: features(4,0)",  // the name as the caller gave it
       [](TPdfCanvas& c) { DefineFeatures(c); c.DrawGrid("Features", 0, 100); c.DrawRow("Features", 60);
                           c.TextToCell("features", 4, 0, "x"); }},
      {"Invalid cell: Features(-1,0)",
       [](TPdfCanvas& c) { DefineFeatures(c); c.DrawGrid("Features", 0, 100); c.DrawRow("Features", 60);
                           c.TextToCell("Features", -1, 0, "x"); }},
  };
  for (const TCase& k : cases) {
    TOpenDocument d;
    bool abortFired = false;
    d.Doc.SetOnAbort([&](TObject*) { abortFired = true; });
    EXPECT_EQ(ErrorOf([&] { k.Action(d.Canvas()); }), k.Message);
    EXPECT_TRUE(d.Doc.Aborted()) << k.Message;
    EXPECT_TRUE(abortFired) << k.Message;
  }
}

TEST(Grid, RowsFitDownToThePageBottomAndARefusedRowChangesNothing) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  c.DrawGrid("Features", 0, 2900);
  c.DrawRow("Features", 60);
  TPdfGrid& g = c.GridByName("Features");
  // 2960 + 10 = 2970, the page height: accepted.
  c.DrawRow("Features", 10);
  EXPECT_EQ(g.RowDefs().size(), 2u);
  EXPECT_EQ(g.NextRowTop(), 2970);
  const size_t lines = c.PdfStream().size();
  EXPECT_EQ(ErrorOf([&] { c.DrawRow("Features", 1); }), "Grid row out of page: Features");
  EXPECT_EQ(g.RowDefs().size(), 2u);
  EXPECT_EQ(g.NextRowTop(), 2970);
  EXPECT_EQ(c.PdfStream().size(), lines);
}

TEST(Grid, NamesIgnoreCaseAndRedefiningKeepsTheRows) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  c.DrawGrid("FEATURES", 0, 100);
  c.DrawRow("features", 50);
  EXPECT_EQ(c.Grids().Count(), 1);
  c.DefineGrid("fEaTuReS", taLeftJustify, 3);
  TPdfGrid& g = c.GridByName("Features");
  EXPECT_EQ(c.Grids().Count(), 1);
  EXPECT_EQ(g.Name(), "Features");
  EXPECT_TRUE(g.ColDefs().empty());
  EXPECT_EQ(g.RowDefs().size(), 1u);
  EXPECT_EQ(g.NextRowTop(), 150);
  EXPECT_EQ(g.InternalMargin(), 3);
  EXPECT_EQ(g.Alignment(), taLeftJustify);
}

TEST(Grid, NewPageForgetsTheRowsOfEveryGridButNotWhereTheNextGoes) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  c.DefineGrid("Other", taLeftJustify, 0);
  c.DefineCol("Other", 100, taLeftJustify, vaTop, false);
  c.DrawGrid("Features", 0, 100);
  c.DrawGrid("Other", 0, 1000);
  c.DrawRow("Features", 60);
  c.DrawRow("Other", 60);
  d.Doc.NewPage();
  EXPECT_TRUE(c.GridByName("Features").RowDefs().empty());
  EXPECT_TRUE(c.GridByName("Other").RowDefs().empty());
  EXPECT_EQ(c.GridByName("Features").ColDefs().size(), 4u);
  EXPECT_EQ(ErrorOf([&] { c.TextToCell("Features", 0, 0, "x"); }), "Invalid cell: Features(0,0)");

  TOpenDocument e;
  TPdfCanvas& f = e.Canvas();
  DefineFeatures(f);
  f.DrawGrid("Features", 0, 100);
  f.DrawRow("Features", 60);
  e.Doc.NewPage();
  f.DrawRow("Features", 40);  // continues at 160 on the new page, as row 0
  const TPdfGrid& g = f.GridByName("Features");
  ASSERT_EQ(g.RowDefs().size(), 1u);
  EXPECT_EQ(g.RowDefs()[0]->Y(), 160);
  f.TextToCell("Features", 0, 0, "x");
}

TEST(Grid, ColumnsKeepThePenAndBrushOfTheirDefinitionAndTheCallersComeBack) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  c.DefineGrid("G", taLeftJustify, 0);
  c.Brush().SetColor(clYellow);
  c.Pen().SetColor(clRed);
  c.Pen().SetWidth(4);
  c.DefineCol("G", 100, taLeftJustify, vaTop, false);
  c.Brush().SetStyle(bsClear);  // no background
  c.Pen().SetStyle(psClear);    // no border
  c.DefineCol("G", 100, taLeftJustify, vaTop, false);
  c.Brush().SetStyle(bsSolid);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(0);          // no border either
  c.DefineCol("G", 100, taLeftJustify, vaTop, false);
  // What the caller holds when the row is drawn.
  c.Brush().SetColor(clLime);
  c.Pen().SetColor(clGreen);
  c.Pen().SetWidth(2);
  c.Pen().SetStyle(psDash);
  c.DrawGrid("G", 100, 100);
  const Lines row = Capture(c, [&] { c.DrawRow("G", 100); });
  const std::string top = Num(c.YToPoint(100)), bottom = Num(c.YToPoint(200));
  const std::string x0 = Num(c.UnitToPoint(100)), x2 = Num(c.UnitToPoint(300)), w = Num(c.UnitToPoint(100));
  const Lines expected = {
      "1 1 0 rg", x0 + " " + bottom + " " + w + " " + w + " re f",
      "1 1 0 rg", x2 + " " + bottom + " " + w + " " + w + " re f",
      "1 0 0 RG", "[]0 d", Num(c.UnitToPoint(4)) + " w", x0 + " " + top + " m", x0 + " " + bottom + " l S",
      "0 0.502 0 RG", "[3 3]0 d", Num(c.UnitToPoint(2)) + " w", x0 + " " + top + " m",
      Num(c.UnitToPoint(400)) + " " + top + " l S"};
  EXPECT_EQ(row, expected);
  EXPECT_EQ(c.Brush().Color(), clLime);
  EXPECT_EQ(c.Brush().Style(), bsSolid);
  EXPECT_EQ(c.Pen().Color(), clGreen);
  EXPECT_EQ(c.Pen().Width(), 2);
  EXPECT_EQ(c.Pen().Style(), psDash);
}

TEST(Grid, PlacementByAlignment) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  TPdfGrid& g = c.GridByName("Features");
  c.DrawGrid("Features", 5, 0);  // centred: X has no effect
  EXPECT_EQ(g.ColDefs()[0]->X(), 300);
  g.SetAlignment(taRightJustify);
  c.DrawGrid("Features", 2000, 0);
  EXPECT_EQ(g.ColDefs()[0]->X(), 500);
  EXPECT_EQ(g.ColDefs()[3]->X(), 2000);
  g.SetAlignment(taLeftJustify);
  c.DrawGrid("Features", 600, 0);  // right edge exactly on the page edge
  EXPECT_EQ(g.ColDefs()[3]->X(), 2100);
  // An odd leftover width centres to the even unit: (2100 - 1499) / 2 = 300.5.
  c.DefineGrid("Odd", taCenter, 0);
  c.DefineCol("Odd", 1499, taLeftJustify, vaTop, false);
  c.DrawGrid("Odd", 0, 0);
  EXPECT_EQ(c.GridByName("Odd").ColDefs()[0]->X(), 300);
}

TEST(Grid, SingleLineCellsAlignAndCutToTheInnerWidth) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  c.DefineGrid("T", taLeftJustify, 10);
  c.DefineCol("T", 400, taCenter, vaCenter, false);
  c.DefineCol("T", 400, taRightJustify, vaBottom, false);
  c.DefineCol("T", 400, taLeftJustify, vaTop, false);
  c.DrawGrid("T", 100, 200);
  c.DrawRow("T", 101);
  const int32_t lh = c.TextHeight("A");
  // Centred by the column's full width; vertically by the row's full height.
  const int32_t w = c.TextWidth("Mid");
  const int32_t cx = int32_t(std::nearbyint(100 + (400 - w) / 2.0L));
  const int32_t cy = int32_t(std::nearbyint(200 + (101 - lh) / 2.0L));
  EXPECT_EQ(Capture(c, [&] { c.TextToCell("T", 0, 0, "Mid"); }), Capture(c, [&] { c.TextOut(cx, cy, "Mid"); }));
  EXPECT_EQ(c.TextY(), cy + lh);
  // Right and bottom, inside the margin.
  const int32_t rw = c.TextWidth("Right");
  EXPECT_EQ(Capture(c, [&] { c.TextToCell("T", 1, 0, "Right"); }),
            Capture(c, [&] { c.TextOut(890 - rw, 291 - lh, "Right"); }));
  // Too wide: cut at its end to the inner width (380), no ellipsis, and a
  // line end is not interpreted.
  std::string longText = "A rather long text\r\nthat cannot fit in one narrow cell at all";
  std::string cut = longText;
  c.TruncateText(cut, 380);
  ASSERT_LT(cut.size(), longText.size());
  EXPECT_EQ(longText.substr(0, cut.size()), cut);
  EXPECT_EQ(Capture(c, [&] { c.TextToCell("T", 2, 0, longText); }), Capture(c, [&] { c.TextOut(910, 210, cut); }));
  // A right-aligned text wider than the cell starts at the inner left edge.
  std::string cut2 = longText;
  c.TruncateText(cut2, 380);
  EXPECT_EQ(Capture(c, [&] { c.TextToCell("T", 1, 0, longText); }),
            Capture(c, [&] { c.TextOut(510, 291 - lh, cut2); }));
}

TEST(Grid, MultiLineCellsAreTextBoxesInsideTheMargin) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  DefineFeatures(c);
  c.DrawGrid("Features", 0, 400);
  c.DrawRow("Features", 200);
  const std::string text = "Lines, rectangles, ellipses, text with rotation, images and grids in one document.";
  const Lines cell = Capture(c, [&] { c.TextToCell("Features", 2, 0, text); });
  const Lines box = Capture(c, [&] { c.DrawText(810, 410, 1790, 590, taLeftJustify, vaTop, text); });
  EXPECT_EQ(cell, box);
  EXPECT_GE(TextsOf(cell).size(), 2u);
}

TEST(Grid, WithoutAnOpenDocument) {
  TVellix doc;
  TPdfCanvas& c = doc.Canvas();
  DefineFeatures(c);  // defining and placing need no document
  c.DrawGrid("Features", 0, 100);
  const TPen pen = c.Pen();
  EXPECT_EQ(ErrorOf([&] { c.DrawRow("Features", 60); }), "Document not opened");
  EXPECT_EQ(c.GridByName("Features").RowDefs().size(), 1u);  // appended before the failure
  // The caller's pen is back although the row failed half way.
  EXPECT_EQ(c.Pen().Style(), pen.Style());
  EXPECT_EQ(c.Pen().Width(), pen.Width());
  EXPECT_EQ(ErrorOf([&] { c.TextToCell("Features", 0, 0, "x"); }), "Document not opened");

  // Aborted: rows and cells are accepted, nothing is written.
  TOpenDocument d;
  TPdfCanvas& a = d.Canvas();
  d.Doc.Abort();
  DefineFeatures(a);
  a.DrawGrid("Features", 0, 100);
  EXPECT_EQ(Capture(a, [&] {
              a.DrawRow("Features", 60);
              a.TextToCell("Features", 0, 0, "x");
              a.TextToCell("Features", 2, 0, "y");
            }),
            Lines{});
  EXPECT_EQ(a.GridByName("Features").RowDefs().size(), 1u);
}

TEST(Grid, ExtremeSizesAndMarginsStayWithinRange) {
  TOpenDocument d;
  TPdfCanvas& c = d.Canvas();
  c.DefineGrid("Huge", taLeftJustify, INT32_MAX);
  for (int32_t w : {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}) c.DefineCol("Huge", w, taCenter, vaCenter, w > 0);
  c.DrawGrid("Huge", 0, 100);  // the widths sum to -2: placed
  c.DrawRow("Huge", 50);
  for (int32_t col = 0; col < 4; ++col) c.TextToCell("Huge", col, 0, "text that is cut");
  c.DefineGrid("Huge", taRightJustify, INT32_MIN);
  c.DefineCol("Huge", 100, taRightJustify, vaBottom, false);
  c.DrawGrid("Huge", 2000, 200);
  c.DrawRow("Huge", INT32_MIN);  // a negative height is not below the page
  c.TextToCell("Huge", 0, 0, "x");
  EXPECT_EQ(c.DrawText(INT32_MIN, 1, INT32_MAX, INT32_MAX, taCenter, vaCenter, "a b"), 0);
  EXPECT_EQ(c.DrawText(INT32_MAX, INT32_MAX, INT32_MIN, 1, taRightJustify, vaBottom, "ab"), 0);
  EXPECT_FALSE(d.Doc.Aborted());
}
