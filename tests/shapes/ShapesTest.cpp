// Lines, rectangles, polylines, polygons and Bezier chains: the exact content
// lines, the stroke and fill state in front of them, the current position,
// and the errors that abort the document.

#include <climits>
#include <vector>

#include "ShapeFixture.h"

namespace Vellix::ShapeTests {
namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultStroke = {"0 0 0 RG", "[]0 d", "0.283 w"};

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ShapeTest, LineToStrokesFromCurrentPosition) {
  EXPECT_EQ(Drawn([&] {
              Canvas().MoveTo(10, 10);
              Canvas().LineTo(20, 10);
            }),
            Concat(kDefaultStroke, {"2.835 839.055 m", "5.669 839.055 l S"}));
  EXPECT_EQ(Canvas().PenPos(), Point(20, 10));
}

TEST_F(ShapeTest, InvisiblePenLineToStillMoves) {
  Canvas().MoveTo(10, 10);
  Canvas().Pen().SetStyle(psClear);
  EXPECT_TRUE(Drawn([&] { Canvas().LineTo(100, 200); }).empty());
  EXPECT_EQ(Canvas().PenPos(), Point(100, 200));
  Canvas().Pen().SetStyle(psSolid);
  const Lines lines = Drawn([&] { Canvas().LineTo(0, 0); });
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "28.346 785.197 m");
  EXPECT_EQ(lines[4], "0 841.89 l S");
}

TEST_F(ShapeTest, StrokeAndFillStateForEveryRequest) {
  // Pen and brush visible: fill colour, then stroke colour, dash, width; "B".
  Canvas().Brush().SetColor(RGB(0, 255, 255));
  Canvas().Pen().SetColor(RGB(255, 0, 0));
  Canvas().Pen().SetWidth(4);
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(1000, 2350, 1100, 2450); }),
            (Lines{"0 1 1 rg", "1 0 0 RG", "[]0 d", "1.134 w", "283.465 147.402 28.346 28.346 re B"}));
  // Border only: a clear brush.
  Canvas().Brush().SetStyle(bsClear);
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(1000, 2350, 1100, 2450); }),
            (Lines{"1 0 0 RG", "[]0 d", "1.134 w", "283.465 147.402 28.346 28.346 re S"}));
  // Background only: a hatch brush fills solid; a pen of width 0 strokes nothing.
  Canvas().Brush().SetStyle(bsDiagCross);
  Canvas().Pen().SetWidth(0);
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(1000, 2350, 1100, 2450); }),
            (Lines{"0 1 1 rg", "283.465 147.402 28.346 28.346 re f"}));
  // Neither: nothing at all.
  Canvas().Brush().SetStyle(bsClear);
  EXPECT_TRUE(Drawn([&] { Canvas().Rectangle(1000, 2350, 1100, 2450); }).empty());
}

TEST_F(ShapeTest, EveryPenAndBrushStyle) {
  const TPenStyle broken[] = {psDash, psDot, psDashDot, psDashDotDot, psInsideFrame};
  for (TPenStyle style : broken) {
    Canvas().Pen().SetStyle(style);
    const Lines lines = Drawn([&] { Canvas().LineTo(5, 5); });
    ASSERT_EQ(lines.size(), 5u) << style;
    EXPECT_EQ(lines[1], "[3 3]0 d") << style;
  }
  Canvas().Pen().SetStyle(psClear);
  EXPECT_EQ(Drawn([&] { Canvas().Polygon({{0, 0}, {10, 10}}); }), (Lines{"1 1 1 rg", "0 841.89 m", "2.835 839.055 l", "f"}));
  const TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
  for (TBrushStyle style : hatches) {
    Canvas().Brush().SetStyle(style);
    EXPECT_EQ(Drawn([&] { Canvas().FillRect(Rect(0, 0, 10, 10)); }), (Lines{"1 1 1 rg", "0 839.055 2.835 2.835 re f"}));
  }
}

TEST_F(ShapeTest, ColourComponentsAndSystemColours) {
  Canvas().Pen().SetStyle(psClear);
  Canvas().Brush().SetColor(RGB(128, 0, 255));
  EXPECT_EQ(Drawn([&] { Canvas().FillRect(Rect(0, 0, 10, 10)); })[0], "0.502 0 1 rg");
  Canvas().Brush().SetColor(clBtnFace);  // resolved to the scheme's 212, 208, 200
  EXPECT_EQ(Drawn([&] { Canvas().FillRect(Rect(0, 0, 10, 10)); })[0], "0.831 0.816 0.784 rg");
}

TEST_F(ShapeTest, PenWidthInPoints) {
  Begin(luPoint);
  Canvas().Pen().SetWidth(4);
  // The A4 height converts to 842 points (841.89 rounded).
  EXPECT_EQ(Drawn([&] { Canvas().LineTo(10, 20); }), (Lines{"0 0 0 RG", "[]0 d", "4 w", "0 842 m", "10 822 l S"}));
}

// Shapes drawn one after another under changing pens and brushes get the
// lines each gets first on a page of its own, where nothing written before
// can be reused; and a pen kept across documents is written in the unit of
// the new one.
TEST_F(ShapeTest, PaintLinesFollowEveryChangeOfPenAndBrush) {
  struct Paint {
    TColor PenColor, BrushColor;
    int32_t Width;
    TPenStyle PenStyle;
    TBrushStyle BrushStyle;
    int Shape;
  };
  const TColor colours[] = {clBlack, clNavy, RGB(1, 2, 3)};
  const TPenStyle penStyles[] = {psSolid, psDash, psClear, psInsideFrame};
  uint32_t seed = 7;
  auto next = [&](uint32_t aBound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % aBound;
  };
  std::vector<Paint> paints;
  for (int i = 0; i < 300; ++i)
    paints.push_back({colours[next(3)], colours[next(3)], int32_t(next(3)), penStyles[next(4)],
                      next(2) ? bsSolid : bsClear, int(next(3))});
  auto draw = [&](const Paint& aPaint) {
    return Drawn([&] {
      Canvas().Pen().SetColor(aPaint.PenColor);
      Canvas().Pen().SetWidth(aPaint.Width);
      Canvas().Pen().SetStyle(aPaint.PenStyle);
      Canvas().Brush().SetColor(aPaint.BrushColor);
      Canvas().Brush().SetStyle(aPaint.BrushStyle);
      Canvas().MoveTo(30, 40);
      if (aPaint.Shape == 0) Canvas().LineTo(300, 400);
      if (aPaint.Shape == 1) Canvas().Rectangle(100, 200, 300, 500);
      if (aPaint.Shape == 2) Canvas().Ellipse(100, 200, 300, 500);
    });
  };
  std::vector<Lines> together;
  for (const Paint& paint : paints) together.push_back(draw(paint));
  for (size_t i = 0; i < paints.size(); ++i) {
    Doc.NewPage();
    ASSERT_EQ(draw(paints[i]), together[i]) << "shape " << i;
  }

  Begin(luPoint);
  Canvas().Pen().SetWidth(2);
  EXPECT_EQ(Drawn([&] { Canvas().LineTo(10, 20); })[2], "2 w");
  Begin(luTenth);
  Canvas().Pen().SetWidth(2);
  EXPECT_EQ(Drawn([&] { Canvas().LineTo(10, 20); })[2], "0.567 w");
}

TEST_F(ShapeTest, RectangleNormalisesItsCorners) {
  Canvas().Pen().SetStyle(psClear);
  const Lines expected{"1 1 1 rg", "283.465 147.402 28.346 28.346 re f"};
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(1000, 2350, 1100, 2450); }), expected);
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(1100, 2450, 1000, 2350); }), expected);
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(Rect(1000, 2450, 1100, 2350)); }), expected);
}

TEST_F(ShapeTest, FillRectAndFrameRectTakeTheRectangleAsGiven) {
  Canvas().Brush().SetColor(clRed);
  EXPECT_EQ(Drawn([&] { Canvas().FillRect(Rect(1100, 2450, 1000, 2350)); }),
            (Lines{"1 0 0 rg", "311.811 175.748 -28.346 -28.346 re f"}));
  // The frame uses the brush colour and a one-unit solid line, even with a
  // clear brush and a broken pen.
  Canvas().Brush().SetStyle(bsClear);
  Canvas().Pen().SetStyle(psDash);
  EXPECT_TRUE(Drawn([&] { Canvas().FillRect(Rect(0, 0, 10, 10)); }).empty());
  EXPECT_EQ(Drawn([&] { Canvas().FrameRect(Rect(1000, 2350, 1100, 2450)); }),
            (Lines{"1 0 0 RG", "[]0 d", "0.283 w", "283.465 147.402 28.346 28.346 re S"}));
}

TEST_F(ShapeTest, PolylineMovesOnlyWhenItDraws) {
  const std::vector<TPoint> points{{0, 0}, {100, 0}, {100, 100}};
  EXPECT_EQ(Drawn([&] { Canvas().Polyline(points); }),
            Concat(kDefaultStroke, {"0 841.89 m", "28.346 841.89 l", "28.346 813.543 l", "S"}));
  EXPECT_EQ(Canvas().PenPos(), Point(100, 100));
  Canvas().MoveTo(7, 7);
  Canvas().Pen().SetStyle(psClear);
  EXPECT_TRUE(Drawn([&] { Canvas().Polyline(points); }).empty());
  EXPECT_EQ(Canvas().PenPos(), Point(7, 7));
}

TEST_F(ShapeTest, PolygonIsLeftOpenAndKeepsThePosition) {
  Canvas().MoveTo(7, 7);
  EXPECT_EQ(Drawn([&] { Canvas().Polygon({{0, 0}, {100, 0}, {100, 100}}); }),
            Concat({"1 1 1 rg"}, Concat(kDefaultStroke, {"0 841.89 m", "28.346 841.89 l", "28.346 813.543 l", "B"})));
  EXPECT_EQ(Canvas().PenPos(), Point(7, 7));
}

TEST_F(ShapeTest, BezierSegmentsPerPointCount) {
  std::vector<TPoint> points;
  for (int32_t i = 0; i < 7; ++i) points.push_back(Point(10 * i, 10 * i));
  const size_t expectedSegments[] = {1, 1, 1, 2};  // for 4, 5, 6, 7 points
  for (size_t n = 4; n <= 7; ++n) {
    const std::span<const TPoint> some(points.data(), n);
    const Lines lines = Drawn([&] { Canvas().PolyBezier(some); });
    ASSERT_EQ(lines.size(), 3 + 1 + expectedSegments[n - 4] + 1) << n;
    EXPECT_EQ(lines[3], "0 841.89 m");
    EXPECT_EQ(lines[4], "2.835 839.055 5.669 836.22 8.504 833.386 c");
    EXPECT_EQ(lines.back(), "S");
  }
  EXPECT_EQ(Canvas().PenPos(), Point(0, 0));
}

TEST_F(ShapeTest, PolyBezierToEndsAtTheLastCompleteSegment) {
  const std::vector<TPoint> six{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
  Canvas().PolyBezierTo(six);
  EXPECT_EQ(Canvas().PenPos(), Point(3, 3));
  Canvas().Pen().SetStyle(psClear);
  const std::vector<TPoint> seven{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 9}};
  EXPECT_TRUE(Drawn([&] { Canvas().PolyBezierTo(seven); }).empty());
  EXPECT_EQ(Canvas().PenPos(), Point(6, 9));
}

TEST_F(ShapeTest, LineWritersForOtherDrawingCode) {
  EXPECT_EQ(Drawn([&] {
              Canvas().DrawMoveTo(400, 2050);
              Canvas().DrawLineTo(1700, 2050, "");
              Canvas().DrawLineTo(-10, 3000, "S");
            }),
            (Lines{"113.386 260.787 m", "481.89 260.787 l", "-2.835 -8.504 l S"}));
  // A paint operator of the caller's that holds a CR LF stays one line.
  const Lines drawn = Drawn([&] {
    Canvas().DrawMoveTo(0, 0);
    Canvas().DrawLineTo(0, 3000, "S\r\n1 1 m");
    Canvas().DrawLineTo(10, 3000, "S");
    Canvas().DrawEllipticCorner(0, 3000, 10, 2990, 0, -10, -10, 0, "B\r\n");
  });
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[1], "0 -8.504 l S\r\n1 1 m");
  EXPECT_EQ(drawn[2], "2.835 -8.504 l S");
  EXPECT_TRUE(drawn[3].ends_with(" c B\r\n")) << drawn[3];
}

TEST_F(ShapeTest, ExtremeCoordinatesDoNotOverflow) {
  Canvas().Pen().SetStyle(psClear);
  EXPECT_EQ(Drawn([&] { Canvas().FillRect(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)); }),
            (Lines{"1 1 1 rg", "-608735522.268 -608734680.094 1217471044.252 1217471044.252 re f"}));
  EXPECT_EQ(Drawn([&] { Canvas().Rectangle(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN); }).back(),
            "-608735522.268 -608734680.094 1217471044.252 1217471044.252 re f");
  EXPECT_EQ(Drawn([&] { Canvas().FrameRect(Rect(INT32_MAX, 0, INT32_MIN, 1)); }).back(),
            "608735521.984 841.606 -1217471044.252 0.283 re S");
}

TEST_F(ShapeTest, ErrorsAbortTheDocument) {
  ExpectAborts([&] { Canvas().Polyline({{1, 1}}); }, "Bad parameters for method: Polyline");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Polygon(std::span<const TPoint>()); }, "Bad parameters for method: Polygon");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().PolyBezier({{1, 1}, {2, 2}, {3, 3}}); }, "Bad parameters for method: PolyBezier");
  Begin(luTenth);
  Canvas().MoveTo(5, 5);
  ExpectAborts([&] { Canvas().PolyBezierTo({{1, 1}, {2, 2}, {3, 3}}); }, "Bad parameters for method: PolyBezier");
  EXPECT_EQ(Canvas().PenPos(), Point(5, 5));
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Rectangle(10, 10, 10, 20); }, "Bad rectangle definition");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Rectangle(Rect(10, 20, 30, 20)); }, "Bad rectangle definition");
}

TEST_F(ShapeTest, DrawingAfterAnAbortDoesNothing) {
  Canvas().MoveTo(5, 5);
  Doc.Abort();
  EXPECT_TRUE(Drawn([&] {
                Canvas().MoveTo(1, 1);
                Canvas().LineTo(2, 2);
                Canvas().Rectangle(0, 0, 0, 0);
                Canvas().FillRect(Rect(0, 0, 1, 1));
                Canvas().FrameRect(Rect(0, 0, 1, 1));
                Canvas().Polyline({});
                Canvas().Polygon({});
                Canvas().PolyBezier({});
                Canvas().PolyBezierTo({});
              }).empty());
  EXPECT_EQ(Canvas().PenPos(), Point(5, 5));
}

TEST_F(ShapeTest, DrawingWithoutADocumentFails) {
  End();
  const std::function<void()> calls[] = {
      [&] { Canvas().MoveTo(1, 1); },
      [&] { Canvas().LineTo(1, 1); },
      [&] { Canvas().Rectangle(0, 0, 1, 1); },
      [&] { Canvas().FillRect(Rect(0, 0, 1, 1)); },
      [&] { Canvas().FrameRect(Rect(0, 0, 1, 1)); },
      [&] { Canvas().Polyline({{0, 0}, {1, 1}}); },
      [&] { Canvas().Polygon({{0, 0}, {1, 1}}); },
      [&] { Canvas().PolyBezier({{0, 0}, {1, 1}, {2, 2}, {3, 3}}); },
      [&] { Canvas().PolyBezierTo({{0, 0}, {1, 1}, {2, 2}, {3, 3}}); },
  };
  for (const auto& call : calls) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Document not opened");
    }
  }
  EXPECT_TRUE(Canvas().PdfStream().empty());
}

}  // namespace
}  // namespace Vellix::ShapeTests
