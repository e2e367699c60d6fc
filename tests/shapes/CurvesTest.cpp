// Ellipses, rounded rectangles, arcs, chords and pies: the exact corner and
// arc lines, the angles of the radials, the flat ellipses of rectangles one
// unit wide or high, and bounded output near the 32-bit limits.

#include <climits>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "ShapeFixture.h"
#include "canvas/PathBuilder.h"

namespace Vellix::ShapeTests {
namespace {

using Lines = std::vector<std::string>;

// Corners, radii and arc points are rounded with it: halves to even, on both
// sides of zero, up to the far end of the 64-bit range.
TEST(RoundEven, IsTheLibraryRoundingToNearestEven) {
  using Detail::RoundEven;
  EXPECT_EQ(RoundEven(2.5L), 2);
  EXPECT_EQ(RoundEven(3.5L), 4);
  EXPECT_EQ(RoundEven(-2.5L), -2);
  EXPECT_EQ(RoundEven(-3.5L), -4);
  EXPECT_EQ(RoundEven(0.49999999999999999L), 0);
  EXPECT_EQ(RoundEven(-0.0L), 0);
  EXPECT_EQ(RoundEven(0x1p62L + 0.5L), int64_t(1) << 62);
  EXPECT_EQ(RoundEven(-0x1p63L), INT64_MIN);
  std::mt19937_64 rng(5);
  for (int i = 0; i < 100000; ++i) {
    const long double v = std::ldexp(static_cast<long double>(int64_t(rng())), -int(rng() % 64)) / 3;
    ASSERT_EQ(RoundEven(v), std::llrint(v)) << double(v);
  }
}

size_t CountEnding(const Lines& aLines, const std::string& aEnd) {
  size_t n = 0;
  for (const auto& line : aLines)
    if (line.size() >= aEnd.size() && line.compare(line.size() - aEnd.size(), aEnd.size(), aEnd) == 0) ++n;
  return n;
}

// No reader accepts these, and they would mean a division by zero got through.
void ExpectFiniteNumbers(const Lines& aLines) {
  for (const auto& line : aLines) {
    EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    EXPECT_EQ(line.find("inf"), std::string::npos) << line;
  }
}

TEST_F(ShapeTest, KappaIsTheTenDecimalConstant) {
  EXPECT_EQ(TPdfCanvas::Kappa, 0.5522847498L);
  // 253879 * Kappa is 140213.49999, whereas the exact 4/3 (sqrt 2 - 1) gives
  // 140213.50000 and would round the control point one unit further.
  Begin(luPoint);
  EXPECT_EQ(Drawn([&] { Canvas().DrawEllipticCorner(0, 842, 0, 842, 253879, 0, 0, 0, "f"); }),
            (Lines{"0 0 m 140213 0 0 0 0 0 c f"}));
}

TEST_F(ShapeTest, EllipseWithInvisiblePen) {
  Canvas().Pen().SetStyle(psClear);
  const Lines expected{"1 1 1 rg",
                       "141.732 189.921 m 141.732 221.102 211.465 246.614 297.638 246.614 c ",
                       "297.638 246.614 m 383.811 246.614 453.543 221.102 453.543 189.921 c ",
                       "453.543 189.921 m 453.543 158.74 383.811 133.228 297.638 133.228 c ",
                       "297.638 133.228 m 211.465 133.228 141.732 158.74 141.732 189.921 c f",
                       "141.732 189.921 m",
                       "297.638 246.614 l",
                       "453.543 189.921 l",
                       "297.638 133.228 l",
                       "141.732 189.921 l",
                       "f"};
  EXPECT_EQ(Drawn([&] { Canvas().Ellipse(500, 2100, 1600, 2500); }), expected);
  EXPECT_EQ(Drawn([&] { Canvas().Ellipse(Rect(1600, 2500, 500, 2100)); }), expected);
}

TEST_F(ShapeTest, EllipseWithClearBrushHasNoDiamond) {
  Canvas().Brush().SetStyle(bsClear);
  const Lines lines = Drawn([&] { Canvas().Ellipse(500, 2100, 1600, 2500); });
  ASSERT_EQ(lines.size(), 3u + 4u);
  EXPECT_EQ(lines.back(), "297.638 133.228 m 211.465 133.228 141.732 158.74 141.732 189.921 c S");
}

TEST_F(ShapeTest, EllipseRadiusRoundsToEven) {
  Begin(luPoint);
  Canvas().Pen().SetStyle(psClear);
  // 101 wide: rx = 50 (50.5 to even), the top at x = 50, the right end at 101.
  const Lines lines = Drawn([&] { Canvas().Ellipse(0, 0, 101, 10); });
  EXPECT_EQ(lines[2], "50 842 m 78 842 101 840 101 837 c ");
  EXPECT_EQ(lines[6], "50 842 l");
}

TEST_F(ShapeTest, RoundRectWithPenAndBrush) {
  const Lines expected{"1 1 1 rg",
                       "0 0 0 RG",
                       "[]0 d",
                       "0.283 w",
                       "113.386 260.787 m 113.386 268.724 119.622 274.961 127.559 274.961 c B",
                       "467.717 274.961 m 475.654 274.961 481.89 268.724 481.89 260.787 c B",
                       "481.89 119.055 m 481.89 111.118 475.654 104.882 467.717 104.882 c B",
                       "127.559 104.882 m 119.622 104.882 113.386 111.118 113.386 119.055 c B",
                       "127.559 274.961 m",
                       "467.717 274.961 l",
                       "481.89 260.787 l",
                       "481.89 119.055 l",
                       "467.717 104.882 l",
                       "127.559 104.882 l",
                       "113.386 119.055 l",
                       "113.386 260.787 l f",
                       "127.559 274.961 m",
                       "467.717 274.961 l S",
                       "481.89 260.787 m",
                       "481.89 119.055 l S",
                       "467.717 104.882 m",
                       "127.559 104.882 l S",
                       "113.386 119.055 m",
                       "113.386 260.787 l S"};
  EXPECT_EQ(Drawn([&] { Canvas().RoundRect(400, 2000, 1700, 2600, 50, 50); }), expected);
}

TEST_F(ShapeTest, RoundRectVariants) {
  Begin(luPoint);
  // Radii of 0: degenerate corners, the octagon becomes the rectangle, sides drawn.
  const Lines square = Drawn([&] { Canvas().RoundRect(10, 10, 20, 20, 0, 0); });
  ASSERT_EQ(square.size(), 4u + 4u + 8u + 8u);
  EXPECT_EQ(square[4], "10 832 m 10 832 10 832 10 832 c B");
  EXPECT_EQ(square[15], "10 832 l f");
  // An invisible pen: corners filled with "f", no sides.
  Canvas().Pen().SetStyle(psClear);
  const Lines filled = Drawn([&] { Canvas().RoundRect(10, 10, 20, 20, 3, 3); });
  ASSERT_EQ(filled.size(), 1u + 4u + 8u);
  EXPECT_EQ(CountEnding(filled, " c f"), 4u);
  // A clear brush with a visible pen: corners and sides stroked, no octagon.
  Canvas().Pen().SetStyle(psSolid);
  Canvas().Brush().SetStyle(bsClear);
  const Lines stroked = Drawn([&] { Canvas().RoundRect(10, 10, 20, 20, 3, 3); });
  EXPECT_EQ(stroked.size(), 3u + 4u + 8u);
  EXPECT_EQ(CountEnding(stroked, " c S"), 4u);
}

TEST_F(ShapeTest, ChordOfTheUpperHalf) {
  Canvas().Pen().SetStyle(psClear);
  Canvas().Brush().SetColor(clRed);
  const Lines lines = Drawn([&] { Canvas().Chord(500, 2100, 1600, 2500, 2100, 1600, 0, 1600); });
  ASSERT_EQ(lines.size(), 1u + 1u + 1475u + 2u);
  EXPECT_EQ(lines[0], "1 0 0 rg");
  EXPECT_EQ(lines[1], "372.189 239.811 m");
  EXPECT_EQ(CountEnding(lines, " l"), 1475u);
  EXPECT_EQ(lines[1476], "222.803 239.528 l");  // at the left side of the ellipse
  EXPECT_EQ(lines[1477], "372.189 239.811 m");
  EXPECT_EQ(lines[1478], "222.803 239.528 l f");
}

TEST_F(ShapeTest, ArcAndPieEndings) {
  Begin(luPoint);
  // A quarter of a circle of radius 100 centred at (200, 200).
  const Lines arc = Drawn([&] { Canvas().Arc(100, 100, 300, 300, 300, 200, 200, 100); });
  EXPECT_EQ(arc[3], "300 642 m");
  EXPECT_EQ(arc.back(), "S");
  EXPECT_EQ(arc[arc.size() - 2], "200 742 l");  // the first step at or past the top
  const size_t steps = CountEnding(arc, " l");
  EXPECT_GE(steps, 314u);  // pi/2 * (rx + ry)
  EXPECT_LE(steps, 315u);
  // The pie's tip is the centre from the corners' sum: (301 + 100) / 2 rounds to even.
  const Lines pie = Drawn([&] { Canvas().Pie(100, 100, 301, 301, 301, 200, 200, 100); });
  EXPECT_EQ(pie[pie.size() - 2], "200 642 l");
  EXPECT_EQ(pie.back(), "300 642 l B");
}

TEST_F(ShapeTest, RadialAngles) {
  Begin(luPoint);
  Canvas().Brush().SetStyle(bsClear);
  // From straight above the centre (+pi/2) to straight below (-pi/2 + 2 pi):
  // the left half, counter-clockwise.
  Lines arc = Drawn([&] { Canvas().Arc(0, 0, 200, 200, 100, 50, 100, 150); });
  EXPECT_EQ(arc[3], "100 842 m");
  EXPECT_EQ(arc[arc.size() - 2], "100 642 l");
  EXPECT_NE(std::find(arc.begin(), arc.end(), "0 742 l"), arc.end());
  // The centre itself counts as straight above.
  arc = Drawn([&] { Canvas().Arc(0, 0, 200, 200, 100, 100, 200, 100); });
  EXPECT_EQ(arc[3], "100 842 m");
  // Start and end on the same radial: one step, not a full turn.
  arc = Drawn([&] { Canvas().Arc(0, 0, 200, 200, 200, 100, 300, 100); });
  EXPECT_EQ(arc.size(), 3u + 3u);
  EXPECT_EQ(arc[4], "200 742 l");
  // An end radial a little clockwise of the start: almost the whole ellipse.
  arc = Drawn([&] { Canvas().Arc(0, 0, 200, 200, 200, 100, 200, 101); });
  const size_t steps = CountEnding(arc, " l");
  EXPECT_GE(steps, 1250u);  // (2 pi - 0.01) * 200
  EXPECT_LE(steps, 1257u);
}

TEST_F(ShapeTest, DrawArcReturnsItsEnds) {
  Begin(luPoint);
  TPoint first, last;
  const Lines lines = Drawn([&] { Canvas().DrawArc(0, 0, 200, 200, 200, 100, 100, 0, first, last, ""); });
  EXPECT_EQ(first, Point(200, 100));
  EXPECT_EQ(last, Point(100, 0));
  EXPECT_EQ(lines.back(), "100 842 l");
}

// A rectangle one unit wide or high has a radius of 0; the ellipse is then
// the segment (or point) that ever thinner ellipses converge to, and the arc
// visits the ends of that segment that its sweep passes.
TEST_F(ShapeTest, FlatEllipsesGiveFiniteBoundedArcs) {
  Begin(luPoint);
  // One unit wide, 400 high: rx = 0, a vertical segment from y 100 to 500.
  Lines pie = Drawn([&] { Canvas().Pie(100, 100, 101, 500, 300, 300, 50, 50); });
  EXPECT_EQ(pie, (Lines{"1 1 1 rg", "0 0 0 RG", "[]0 d", "1 w", "100 542 m", "100 742 l", "100 542 l", "100 542 l",
                        "100 542 l B"}));
  // Start and end on the same radial: one step, which on a segment stays put.
  Lines arc = Drawn([&] { Canvas().Arc(100, 100, 101, 500, 100, 600, 100, 700); });
  EXPECT_EQ(arc, (Lines{"0 0 0 RG", "[]0 d", "1 w", "100 342 m", "100 342 l", "S"}));
  // One unit high: ry = 0, a horizontal segment from x 100 to 300; from the
  // right end to the left end the sweep passes no other end.
  Lines chord = Drawn([&] { Canvas().Chord(100, 100, 300, 101, 400, 100, 0, 100); });
  EXPECT_EQ(chord, (Lines{"1 1 1 rg", "0 0 0 RG", "[]0 d", "1 w", "300 742 m", "100 742 l", "300 742 m",
                          "100 742 l B"}));
  // The same radial twice: one step, staying at the left end.
  chord = Drawn([&] { Canvas().Arc(100, 100, 300, 101, 0, 100, 0, 100); });
  EXPECT_EQ(chord, (Lines{"0 0 0 RG", "[]0 d", "1 w", "100 742 m", "100 742 l", "S"}));
  // From the left end almost a full turn: through the right end, and on to
  // the centre, where the end radial (just above the left end) meets the segment.
  chord = Drawn([&] { Canvas().Arc(100, 100, 300, 101, 0, 100, 0, 99); });
  EXPECT_EQ(chord, (Lines{"0 0 0 RG", "[]0 d", "1 w", "100 742 m", "300 742 l", "200 742 l", "S"}));
  // 1 x 1: both radii 0, every point is the centre.
  pie = Drawn([&] { Canvas().Pie(10, 10, 11, 11, 0, 0, 20, 20); });
  EXPECT_EQ(pie, (Lines{"1 1 1 rg", "0 0 0 RG", "[]0 d", "1 w", "10 832 m", "10 832 l", "10 832 l", "10 832 l B"}));
  // The same rectangles with Ellipse and RoundRect need no special case.
  ExpectFiniteNumbers(Drawn([&] {
    Canvas().Ellipse(10, 10, 11, 11);
    Canvas().Ellipse(10, 10, 11, 500);
    Canvas().RoundRect(10, 10, 11, 11, 5, 5);
  }));
}

TEST_F(ShapeTest, HugeRectanglesStayBounded) {
  Canvas().Pen().SetStyle(psClear);
  // A sweep of 0.01 radian on the largest ellipse: the step stops shrinking
  // at 1/65536 radian, so some 655 lines instead of 43 million.
  const Lines pie = Drawn([&] { Canvas().Pie(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, 0, INT32_MAX, -21474836); });
  ExpectFiniteNumbers(pie);
  EXPECT_GE(pie.size(), 655u);
  EXPECT_LE(pie.size(), 660u);
  EXPECT_EQ(pie[1], "608735522.268 841.89 m");  // (2^31, 0): one past INT32_MAX after rounding
  const Lines shapes = Drawn([&] {
    Canvas().Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    Canvas().RoundRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MAX);
    Canvas().Arc(INT32_MAX, INT32_MAX, INT32_MAX - 1, INT32_MAX - 1, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  });
  ExpectFiniteNumbers(shapes);
  TPoint first, last;
  Canvas().DrawArc(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX, 0, INT32_MAX, 0, first, last, "");
  EXPECT_EQ(first, Point(INT32_MAX, 0));  // saturated from 2^31
}

TEST_F(ShapeTest, CurveErrorsAbortTheDocument) {
  ExpectAborts([&] { Canvas().Ellipse(10, 10, 10, 20); }, "Bad rectangle definition");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().RoundRect(10, 10, 20, 10, 1, 1); }, "Bad rectangle definition");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Arc(10, 10, 10, 20, 0, 0, 1, 1); }, "Bad rectangle definition");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Chord(10, 10, 20, 10, 0, 0, 1, 1); }, "Bad rectangle definition");
  Begin(luTenth);
  ExpectAborts([&] { Canvas().Pie(0, 0, 0, 0, 0, 0, 1, 1); }, "Bad rectangle definition");
  Begin(luTenth);
  Doc.EndDoc();
  for (const auto& call : std::vector<std::function<void()>>{
           [&] { Canvas().Ellipse(0, 0, 1, 1); }, [&] { Canvas().RoundRect(0, 0, 1, 1, 1, 1); },
           [&] { Canvas().Arc(0, 0, 1, 1, 0, 0, 1, 1); }, [&] { Canvas().Chord(0, 0, 1, 1, 0, 0, 1, 1); },
           [&] { Canvas().Pie(0, 0, 1, 1, 0, 0, 1, 1); }}) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Document not opened");
    }
  }
}

}  // namespace
}  // namespace Vellix::ShapeTests
