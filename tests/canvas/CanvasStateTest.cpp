// Canvas state, coordinates, colours, pen and brush state, and page output.

#include <gtest/gtest.h>

#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::string Point(TPdfCanvas& aCanvas, int32_t x, int32_t y) {
  return FormatPdfNumber(aCanvas.UnitToPoint(x)) + " " + FormatPdfNumber(aCanvas.YToPoint(y));
}

// A canvas on an open document in memory.
struct TOpenDocument {
  TMemoryStream Stream;
  TVellix Doc;
  explicit TOpenDocument(TLengthUnit aUnit = luTenth) {
    Doc.SetLengthUnit(aUnit);
    Doc.SetOutStream(&Stream);
    Doc.BeginDoc();
  }
  TPdfCanvas& Canvas() { return Doc.Canvas(); }
  Vellix::TPageBuffer& Lines() { return Doc.Canvas().PdfStream(); }
};

}  // namespace

TEST(CanvasState, Defaults) {
  TVellix doc;
  TPdfCanvas& canvas = doc.Canvas();
  EXPECT_EQ(&canvas.Context(), &Context(doc));
  EXPECT_EQ(canvas.Font().Name(), "Arial");
  EXPECT_EQ(canvas.Pen().Color(), clBlack);
  EXPECT_EQ(canvas.Pen().Width(), 1);
  EXPECT_EQ(canvas.Brush().Color(), clWhite);
  EXPECT_EQ(canvas.BitmapRes(), 96);
  EXPECT_EQ(canvas.PointPerPixel(), 0.75L);
  EXPECT_EQ(canvas.FontAngle(), 0);
  EXPECT_EQ(canvas.PenPos(), (TPoint{0, 0}));
  EXPECT_TRUE(canvas.PdfStream().empty());
  EXPECT_EQ(canvas.Grids().Count(), 0);
  canvas.SetFontDegreeAngle(90);
  EXPECT_NEAR(double(canvas.FontAngle()), 1.5707963267948966, 1e-15);
  EXPECT_NEAR(double(canvas.FontDegreeAngle()), 90.0, 1e-12);
}

TEST(CanvasState, CoordinatesBecomePoints) {
  TOpenDocument open;
  EXPECT_EQ(Point(open.Canvas(), 400, 2050), "113.386 260.787");
  EXPECT_EQ(Point(open.Canvas(), 0, 3000), "0 -8.504");  // below the page: negative, not clipped
  TOpenDocument points(luPoint);
  EXPECT_EQ(Point(points.Canvas(), 10, 42), "10 800");
  EXPECT_EQ(FormatPdfNumber(points.Canvas().YToPoint(INT32_MIN)), "2147484490");
}

TEST(CanvasState, ColourOperands) {
  TVellix doc;
  TPdfCanvas& canvas = doc.Canvas();
  EXPECT_EQ(canvas.ColorDef(clRed), "1 0 0 ");
  EXPECT_EQ(canvas.ColorDef(clAqua), "0 1 1 ");
  EXPECT_EQ(canvas.ColorDef(RGB(128, 0, 255)), "0.502 0 1 ");
  EXPECT_EQ(canvas.ColorDef(clWindowText), "0 0 0 ");
  EXPECT_EQ(canvas.ColorDef(clBtnFace), "0.831 0.816 0.784 ");
}

TEST(CanvasState, StrokeAndFillState) {
  TOpenDocument open;
  TPdfCanvas& canvas = open.Canvas();
  canvas.Pen().SetWidth(4);
  canvas.Pen().SetColor(clRed);
  canvas.Brush().SetColor(clAqua);
  EXPECT_EQ(canvas.AssignBrushAndPen(true, true), "B");
  EXPECT_EQ(open.Lines().Lines(), (std::vector<std::string>{"0 1 1 rg", "1 0 0 RG", "[]0 d", "1.134 w"}));
  open.Lines().clear();
  EXPECT_EQ(canvas.AssignBrushAndPen(true, false), "S");
  EXPECT_EQ(canvas.AssignBrushAndPen(false, true), "f");
  EXPECT_EQ(canvas.AssignBrushAndPen(false, false), "");
  EXPECT_EQ(open.Lines().Lines(), (std::vector<std::string>{"1 0 0 RG", "[]0 d", "1.134 w", "0 1 1 rg"}));

  for (TPenStyle style : {psDash, psDot, psDashDot, psDashDotDot, psInsideFrame}) {
    open.Lines().clear();
    canvas.Pen().SetStyle(style);
    EXPECT_EQ(canvas.AssignBrushAndPen(true, false), "S");
    EXPECT_EQ(open.Lines()[1], "[3 3]0 d");
  }
  // No border from a clear pen or a pen of width 0; a hatch brush fills solid.
  canvas.Brush().SetStyle(bsDiagCross);
  canvas.Pen().SetStyle(psClear);
  open.Lines().clear();
  EXPECT_EQ(canvas.AssignBrushAndPen(true, true), "f");
  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetWidth(0);
  EXPECT_EQ(canvas.AssignBrushAndPen(true, true), "f");
  canvas.Brush().SetStyle(bsClear);
  EXPECT_EQ(canvas.AssignBrushAndPen(true, true), "");
  EXPECT_EQ(open.Lines().Lines(), (std::vector<std::string>{"0 1 1 rg", "0 1 1 rg"}));

  TOpenDocument points(luPoint);
  points.Canvas().Pen().SetWidth(4);
  points.Canvas().AssignBrushAndPen(true, false);
  EXPECT_EQ(points.Lines().back(), "4 w");
}

TEST(CanvasState, RectanglesAreNormalised) {
  TOpenDocument open;
  int32_t x1 = 300, y1 = 400, x2 = 100, y2 = 200;
  open.Canvas().CheckRectangle(x1, y1, x2, y2);
  EXPECT_EQ((std::vector<int32_t>{x1, y1, x2, y2}), (std::vector<int32_t>{100, 200, 300, 400}));
  int32_t a = 5, b = 1, c = 5, d = 9;
  EXPECT_EQ(MessageOf([&] { open.Canvas().CheckRectangle(a, b, c, d); }), "Bad rectangle definition");
  EXPECT_TRUE(open.Doc.Aborted());
  int32_t e = 1, f = 5, g = 9, h = 5;
  EXPECT_EQ(MessageOf([&] { open.Canvas().CheckRectangle(e, f, g, h); }), "Bad rectangle definition");
}

TEST(CanvasState, DocumentStateCheck) {
  TVellix doc;
  EXPECT_EQ(MessageOf([&] { doc.Canvas().CheckDocumentState(); }), "Document not opened");
  TMemoryStream stream;
  doc.SetOutStream(&stream);
  doc.BeginDoc();
  EXPECT_TRUE(doc.Canvas().CheckDocumentState());
  doc.EndDoc();
  EXPECT_EQ(MessageOf([&] { doc.Canvas().CheckDocumentState(); }), "Document not opened");
  doc.BeginDoc();
  doc.Abort();
  EXPECT_FALSE(doc.Canvas().CheckDocumentState());
  Context(doc).Aborted = true;
  EXPECT_FALSE(doc.Canvas().CheckDocumentState());
}

TEST(PageOutput, ContentStreamLengthAndReset) {
  TTempDir dir;
  const std::string path = dir.File("page.pdf");
  const std::string bytes = WriteDocument(path, [](TVellix& doc) {
    TPdfCanvas& canvas = doc.Canvas();
    canvas.SetPenPos({10, 20});
    canvas.AddLine("0 0 m");
    canvas.AddLine("100 100 l S");
    doc.NewPage();
    EXPECT_EQ(canvas.PenPos(), (TPoint{0, 0}));
    EXPECT_TRUE(canvas.PdfStream().empty());
    canvas.AddLine("1 0 0 RG");
    canvas.AddLine("0 0 m\r\n5 5 l");  // a line holding a break is counted as it is
    canvas.AddLine("S");
  });
  EXPECT_NE(bytes.find("5 0 obj\r\n<<\r\n/Length 20\r\n>>\r\nstream\r\n0 0 m\r\n100 100 l S\r\nendstream\r\nendobj\r\n"
                       "6 0 obj\r\n<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/Contents 5 0 R\r\n>>\r\nendobj\r\n"),
            std::string::npos);
  EXPECT_NE(bytes.find("7 0 obj\r\n<<\r\n/Length 27\r\n>>\r\nstream\r\n1 0 0 RG\r\n0 0 m\r\n5 5 l\r\nS\r\nendstream\r\n"),
            std::string::npos);
  EXPECT_EQ(PageContents(bytes).size(), 2u);
  EXPECT_TRUE(CheckPdfContents(bytes).empty());
  EXPECT_TRUE(CheckXref(bytes).empty());
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(PageOutput, BufferIsEmptiedWhenADocumentBegins) {
  TMemoryStream stream;
  TVellix doc;
  doc.SetOutStream(&stream);
  doc.BeginDoc();
  doc.Canvas().AddLine("0 0 m");
  doc.Canvas().SetPenPos({5, 5});
  doc.Abort();
  stream.Clear();
  doc.BeginDoc();
  EXPECT_TRUE(doc.Canvas().PdfStream().empty());
  EXPECT_EQ(doc.Canvas().PenPos(), (TPoint{0, 0}));
  doc.EndDoc();
  EXPECT_NE(stream.DataString().find("/Length 0\r\n"), std::string::npos);
  EXPECT_EQ(ReadersComplaintsOfBytes(stream.DataString()), "");
}
