// Curved shapes of the canvas. Ellipses and rounded rectangles are made of
// quarter-ellipse Bezier corners; arcs, chords and pies are walked as
// polylines, one line per angular step, so that their ends fall on the same
// whole-unit points as the platform canvas puts them.

#include <algorithm>
#include <array>
#include <cmath>
#if defined(__x86_64__)
#include <emmintrin.h>
#endif
#include <numbers>
#include <string>

#include <vellix/Canvas.h>

#include "canvas/ArcAngle.h"
#include "canvas/PathBuilder.h"
#include "writer/DocumentContext.h"

namespace Vellix {

using Detail::ClampToInt32;
using Detail::RoundEven;
using Detail::TArcAngle;
using Detail::TContentLines;
using Detail::TPathBuilder;
using Detail::TPoint64;

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

// The angular step of an arc is 1 / (rx + ry) radians, i.e. about one unit of
// arc length per line. Beyond this sum of radii (an ellipse larger than any
// page a PDF 1.3 reader accepts: 200 inches is 50 800 tenths of a millimetre)
// the step stops shrinking, so that an arc costs at most about 411 000 lines
// per turn instead of billions near the 32-bit limits.
constexpr int64_t MaxArcRadiusSum = 65536;

void AppendCorner(TPageBuffer& aOut, const TPathBuilder& aPath, int64_t X1, int64_t Y1, int64_t X2,
                  int64_t Y2, int64_t DX1, int64_t DY1, int64_t DX2, int64_t DY2, const std::string& aPaintOp) {
  const long double k = TPdfCanvas::Kappa;
  const size_t room = 8 * NumberRoom + aPaintOp.size() + 16;
  TContentLines lines(aOut, room);
  char* p = lines.Reserve(room);
  p = TContentLines::Put(aPath.XY(lines, p, X1, Y1), " m ");
  p = aPath.XY(lines, p, X1 + RoundEven(DX1 * k), Y1 + RoundEven(DY1 * k));
  *p++ = ' ';
  p = aPath.XY(lines, p, X2 + RoundEven(DX2 * k), Y2 + RoundEven(DY2 * k));
  *p++ = ' ';
  p = TContentLines::Put(aPath.XY(lines, p, X2, Y2), " c ");
  lines.Advance(lines.PutLineEnd(TContentLines::Put(p, aPaintOp)));
}

// The angle of the radial from the centre through (X, Y), counter-clockwise
// on the page. A point straight above the centre, or the centre itself, gives
// +pi/2; straight below gives -pi/2.
long double RadialAngle(int64_t X, int64_t Y, int64_t aCX, int64_t aCY) {
  if (X == aCX) return Y > aCY ? -Pi / 2 : Pi / 2;
  long double angle = std::atan(static_cast<long double>(aCY - Y) / static_cast<long double>(X - aCX));
  if (X < aCX) angle += Pi;
  return angle;
}

struct TArcGeometry {
  int64_t RX, RY, CX, CY;
  long double A, B;  // start angle, end angle (B >= A)
};

TArcGeometry MeasureArc(int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t X3, int64_t Y3, int64_t X4, int64_t Y4) {
  TArcGeometry g;
  g.RX = RoundEven(static_cast<long double>(X2 - X1) / 2);
  g.RY = RoundEven(static_cast<long double>(Y2 - Y1) / 2);
  g.CX = X1 + g.RX;
  g.CY = Y1 + g.RY;
  g.A = RadialAngle(X3, Y3, g.CX, g.CY);
  g.B = RadialAngle(X4, Y4, g.CX, g.CY);
  if (g.A > g.B) g.B += 2 * Pi;
  return g;
}

// sin and cos of an arc angle (at most a few turns). The C library reduces
// every extended argument beyond pi/4 with its multi-precision routine, which
// costs more than the rest of an arc line; reducing by quarter turns here,
// with pi/2 split so that k * hi is exact, stays within an ulp or two of it.
void SinCos(long double t, long double& aSin, long double& aCos) {
  constexpr long double HalfPiHi = 0x1.921fb544p+0L;
  constexpr long double HalfPiLo = 6.077100506506192601475144209858469968755e-11L;
  const int64_t k = std::llrint(t * (2 / Pi));
  const long double r = (t - static_cast<long double>(k) * HalfPiHi) - static_cast<long double>(k) * HalfPiLo;
  const long double s = std::sin(r), c = std::cos(r);
  switch (k & 3) {
    case 0: aSin = s; aCos = c; break;
    case 1: aSin = c; aCos = -s; break;
    case 2: aSin = -s; aCos = -c; break;
    default: aSin = -c; aCos = s; break;
  }
}

// The point of the arc at angle t, where the ray from the centre meets the
// ellipse, in extended precision: the definition of every arc point.
TPoint64 ExactArcPoint(const TArcGeometry& g, long double t) {
  const long double rx = static_cast<long double>(g.RX), ry = static_cast<long double>(g.RY);
  long double s, c;
  SinCos(t, s, c);
  const long double r = 1 / std::sqrt((c / rx) * (c / rx) + (s / ry) * (s / ry));
  return TPoint64{g.CX + RoundEven(r * c), g.CY - RoundEven(r * s)};
}

// llrint of a double well inside the 64-bit range, without the call the
// library makes of it: the conversion instruction rounds in the current
// mode, to nearest with ties to even unless the program changed it, as
// llrint does.
inline int64_t RoundEvenDouble(double aValue) {
#if defined(__x86_64__)
  return _mm_cvtsd_si64(_mm_set_sd(aValue));
#else
  return std::llrint(aValue);
#endif
}

// Beyond this radius the walk stays in extended precision throughout.
constexpr int64_t FastArcRadiusLimit = int64_t(1) << 20;
// Steps between two fresh sine and cosine; in between, each step rotates the
// previous pair by the step angle.
constexpr int64_t ArcReseedInterval = 16;

// The arc points in double precision. The angles still advance in extended
// precision, as the definition does; the sine and cosine of an angle come
// from a rotation recurrence, started afresh every few steps. The double
// result differs from the extended one by less than radius * 2^-46 (angle
// rounding, recurrence drift and the products together); a coordinate whose
// fraction lies closer than radius * 2^-40 to one half is recomputed in
// extended precision, so every point is the one ExactArcPoint gives.
class TFastArcPoints {
public:
  TFastArcPoints(const TArcGeometry& g, long double aStep)
      : FArc(g), FRX(double(g.RX)), FRY(double(g.RY)), FRXY(FRX * FRY),
        FNearHalf(0.5 - double(std::max(g.RX, g.RY) + 1) * 0x1p-40) {
    ::sincos(double(aStep), &FStepSin, &FStepCos);
  }

  TPoint64 At(const TArcAngle& t) {
    if (FSinceReseed++ % ArcReseedInterval == 0) {
      ::sincos(t.Double(), &FSin, &FCos);
    } else {
      const double s = FSin * FStepCos + FCos * FStepSin;
      FCos = FCos * FStepCos - FSin * FStepSin;
      FSin = s;
    }
    // r = 1 / sqrt((c / rx)^2 + (s / ry)^2) as rx ry / sqrt((c ry)^2 + (s rx)^2):
    // one division and one root a point instead of three divisions and a root.
    const double cy = FCos * FRY, sx = FSin * FRX;
    const double r = FRXY / std::sqrt(cy * cy + sx * sx);
    const double x = r * FCos, y = r * FSin;
    const int64_t wholeX = RoundEvenDouble(x), wholeY = RoundEvenDouble(y);
    // The distances to the nearest whole numbers, exact below 2^21: one of
    // them near one half, and the rounding is the extended value's to decide.
    const double offX = std::fabs(x - static_cast<double>(wholeX)), offY = std::fabs(y - static_cast<double>(wholeY));
    if (std::max(offX, offY) >= FNearHalf) return ExactArcPoint(FArc, t.Extended());
    return TPoint64{FArc.CX + wholeX, FArc.CY - wholeY};
  }

private:
  const TArcGeometry& FArc;
  double FRX, FRY, FRXY;  // FRXY = FRX * FRY, exact below 2^40
  double FNearHalf;       // one half less the margin
  double FStepSin = 0, FStepCos = 1, FSin = 0, FCos = 1;
  int64_t FSinceReseed = 0;
};

// The points of an arc are found a batch at a time before their lines are
// written: one point's root and division, which nothing else waits for, then
// overlap those of the next points; found between two lines, each waited
// for the one before.
constexpr size_t ArcBatch = 32;

// The arc of an ellipse with both radii above zero, one line per angular
// step from A to the first step at or past B.
template <class PointAt>
void WalkArcWith(TPageBuffer& aOut, const TPathBuilder& aPath, const TArcGeometry& g, long double aStep,
                 PointAt&& aPointAt, TPoint64& P3, TPoint64& P4) {
  TContentLines lines(aOut, 256);
  TArcAngle t(g.A, aStep, g.B);
  P3 = aPointAt(t);
  aPath.AddPointLine(lines, P3.X, P3.Y, " m");
  // The count bound only guards against an accumulation that would stop
  // advancing.
  const int64_t maxSteps = static_cast<int64_t>((g.B - g.A) / aStep) + 2;
  int64_t steps = 0;
  TPoint64 points[ArcBatch];
  for (bool more = true; more;) {
    size_t count = 0;
    do {
      t.Advance();
      points[count++] = aPointAt(t);
      more = t.BeforeEnd() && ++steps < maxSteps;
    } while (more && count < ArcBatch);
    for (size_t i = 0; i < count; ++i) aPath.AddPointLine(lines, points[i].X, points[i].Y, " l");
    P4 = points[count - 1];
  }
}

void WalkArc(TPageBuffer& aOut, const TPathBuilder& aPath, const TArcGeometry& g, TPoint64& P3, TPoint64& P4) {
  const long double step = 1.0L / static_cast<long double>(std::min(g.RX + g.RY, MaxArcRadiusSum));
  if (std::max(g.RX, g.RY) < FastArcRadiusLimit) {
    TFastArcPoints points(g, step);
    WalkArcWith(aOut, aPath, g, step, [&](const TArcAngle& t) { return points.At(t); }, P3, P4);
  } else {
    WalkArcWith(aOut, aPath, g, step, [&](const TArcAngle& t) { return ExactArcPoint(g, t.Extended()); }, P3, P4);
  }
}

// The arc of an ellipse flattened to a segment (a radius of 0) or to a point
// (both radii 0), as the limit of ever thinner ellipses: a radial meets the
// segment at the centre, except the radials along the segment, which meet it
// at its ends. The walk visits the start point, each end of the segment whose
// radial the sweep passes, and the end point.
void WalkFlatArc(TPageBuffer& aOut, const TPathBuilder& aPath, const TArcGeometry& g, int64_t X3,
                 int64_t Y3, int64_t X4, int64_t Y4, TPoint64& P3, TPoint64& P4) {
  const bool vertical = g.RX == 0 && g.RY > 0;
  const bool horizontal = g.RY == 0 && g.RX > 0;
  const TPoint64 centre{g.CX, g.CY};
  // The segment's end that the radial through (X, Y) meets, or the centre.
  auto radialPoint = [&](int64_t X, int64_t Y) {
    if (vertical && X == g.CX && !(Y == g.CY)) return TPoint64{g.CX, Y < g.CY ? g.CY - g.RY : g.CY + g.RY};
    if (vertical && X == g.CX) return TPoint64{g.CX, g.CY - g.RY};  // the centre's radial points up
    if (horizontal && Y == g.CY && X != g.CX) return TPoint64{X > g.CX ? g.CX + g.RX : g.CX - g.RX, g.CY};
    return centre;
  };
  P3 = radialPoint(X3, Y3);
  P4 = radialPoint(X4, Y4);
  aPath.AddPointLine(aOut, P3.X, P3.Y, " m");
  if (vertical || horizontal) {
    // Ends of the segment lie at angles base + k*pi (k even: top or right).
    const long double base = vertical ? Pi / 2 : 0;
    const long double margin = 1e-12L;  // well below any angle between two distinct integer radials
    for (int k = -1; k <= 4; ++k) {
      const long double angle = base + k * Pi;
      if (angle <= g.A + margin || angle >= g.B - margin) continue;
      const bool first = (k % 2 == 0);
      const TPoint64 end = vertical ? TPoint64{g.CX, first ? g.CY - g.RY : g.CY + g.RY}
                                    : TPoint64{first ? g.CX + g.RX : g.CX - g.RX, g.CY};
      aPath.AddPointLine(aOut, end.X, end.Y, " l");
    }
  }
  aPath.AddPointLine(aOut, P4.X, P4.Y, " l");
}

// The arc polyline shared by Arc, Chord and Pie; see DrawArc.
void WriteArc(TPdfCanvas& aCanvas, int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t X3, int64_t Y3, int64_t X4,
              int64_t Y4, TPoint64& P3, TPoint64& P4, const std::string& aPaintOp) {
  const TPathBuilder path(aCanvas);
  auto& out = aCanvas.PdfStream();
  const TArcGeometry g = MeasureArc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  if (g.RX > 0 && g.RY > 0)
    WalkArc(out, path, g, P3, P4);
  else
    WalkFlatArc(out, path, g, X3, Y3, X4, Y4, P3, P4);
  if (!aPaintOp.empty()) out.push_back(aPaintOp);
}

}  // namespace

void TPdfCanvas::DrawEllipticCorner(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t DX1, int32_t DY1,
                                    int32_t DX2, int32_t DY2, const std::string& aPaintOp) {
  Detail::WriteCallersLine(PdfStream(), aPaintOp, [&](TPageBuffer& aOut) {
    AppendCorner(aOut, TPathBuilder(*this), X1, Y1, X2, Y2, DX1, DY1, DX2, DY2, aPaintOp);
  });
}

void TPdfCanvas::Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  const std::string paintOp = AssignBrushAndPen(true, true);
  if (paintOp.empty()) return;
  const TPathBuilder path(*this);
  auto& out = PdfStream();
  const int64_t rx = RoundEven(static_cast<long double>(int64_t(X2) - X1) / 2);
  const int64_t ry = RoundEven(static_cast<long double>(int64_t(Y2) - Y1) / 2);
  const int64_t left = X1, top = Y1, right = X2, bottom = Y2;
  const int64_t midX = left + rx, midY = top + ry;
  // Clockwise on the page from the left extreme; only the last corner paints.
  AppendCorner(out, path, left, midY, midX, top, 0, -ry, -rx, 0, "");
  AppendCorner(out, path, midX, top, right, midY, rx, 0, 0, -ry, "");
  AppendCorner(out, path, right, midY, midX, bottom, 0, ry, rx, 0, "");
  AppendCorner(out, path, midX, bottom, left, midY, -rx, 0, 0, ry, paintOp);
  if (Brush().Style() != bsClear) {
    // Each corner subpath fills only between its arc and its chord; the
    // diamond between the four extremes fills the rest.
    path.AddPointLine(out, left, midY, " m");
    path.AddPointLine(out, midX, top, " l");
    path.AddPointLine(out, right, midY, " l");
    path.AddPointLine(out, midX, bottom, " l");
    path.AddPointLine(out, left, midY, " l");
    out.push_back("f");
  }
}

void TPdfCanvas::Ellipse(const TRect& aRect) { Ellipse(aRect.Left, aRect.Top, aRect.Right, aRect.Bottom); }

void TPdfCanvas::RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  const std::string paintOp = AssignBrushAndPen(true, true);
  if (paintOp.empty()) return;
  const TPathBuilder path(*this);
  auto& out = PdfStream();
  // The corner radii are taken as given, unchecked against the rectangle.
  const int64_t l = X1, t = Y1, r = X2, b = Y2, rx = X3, ry = Y3;
  AppendCorner(out, path, l, t + ry, l + rx, t, 0, -ry, -rx, 0, paintOp);
  AppendCorner(out, path, r - rx, t, r, t + ry, rx, 0, 0, -ry, paintOp);
  AppendCorner(out, path, r, b - ry, r - rx, b, 0, ry, rx, 0, paintOp);
  AppendCorner(out, path, l + rx, b, l, b - ry, -rx, 0, 0, ry, paintOp);
  if (Brush().Style() != bsClear) {
    path.AddPointLine(out, l + rx, t, " m");
    path.AddPointLine(out, r - rx, t, " l");
    path.AddPointLine(out, r, t + ry, " l");
    path.AddPointLine(out, r, b - ry, " l");
    path.AddPointLine(out, r - rx, b, " l");
    path.AddPointLine(out, l + rx, b, " l");
    path.AddPointLine(out, l, b - ry, " l");
    path.AddPointLine(out, l, t + ry, " l f");
  }
  if (paintOp == "B" || paintOp == "S") {
    const std::array<std::array<int64_t, 4>, 4> sides{{
        {l + rx, t, r - rx, t},
        {r, t + ry, r, b - ry},
        {r - rx, b, l + rx, b},
        {l, b - ry, l, t + ry},
    }};
    for (const auto& s : sides) {
      path.AddPointLine(out, s[0], s[1], " m");
      path.AddPointLine(out, s[2], s[3], " l S");
    }
  }
}

void TPdfCanvas::DrawArc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
                         int32_t Y4, TPoint& P3, TPoint& P4, const std::string& aPaintOp) {
  TPoint64 first, last;
  WriteArc(*this, X1, Y1, X2, Y2, X3, Y3, X4, Y4, first, last, aPaintOp);
  P3 = Point(ClampToInt32(first.X), ClampToInt32(first.Y));
  P4 = Point(ClampToInt32(last.X), ClampToInt32(last.Y));
}

void TPdfCanvas::Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  const std::string paintOp = AssignBrushAndPen(true, false);
  if (paintOp.empty()) return;
  TPoint64 first, last;
  WriteArc(*this, X1, Y1, X2, Y2, X3, Y3, X4, Y4, first, last, paintOp);
}

void TPdfCanvas::Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4,
                       int32_t Y4) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  const std::string paintOp = AssignBrushAndPen(true, true);
  if (paintOp.empty()) return;
  TPoint64 first, last;
  WriteArc(*this, X1, Y1, X2, Y2, X3, Y3, X4, Y4, first, last, "");
  // The chord is a subpath of its own; a fill closes the arc along it anyway.
  const TPathBuilder path(*this);
  path.AddPointLine(PdfStream(), first.X, first.Y, " m");
  path.AddPointLine(PdfStream(), last.X, last.Y, " l " + paintOp);
}

void TPdfCanvas::Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  const std::string paintOp = AssignBrushAndPen(true, true);
  if (paintOp.empty()) return;
  TPoint64 first, last;
  WriteArc(*this, X1, Y1, X2, Y2, X3, Y3, X4, Y4, first, last, "");
  // The wedge's tip is the centre from the corners' sum, which may sit one
  // unit from the arc's own centre when a side length is odd.
  const int64_t tipX = RoundEven(static_cast<long double>(int64_t(X1) + X2) / 2);
  const int64_t tipY = RoundEven(static_cast<long double>(int64_t(Y1) + Y2) / 2);
  const TPathBuilder path(*this);
  path.AddPointLine(PdfStream(), tipX, tipY, " l");
  path.AddPointLine(PdfStream(), first.X, first.Y, " l " + paintOp);
}

}  // namespace Vellix
