// Straight-edged shapes and Bezier chains of the canvas, and the two line
// writers that every other path (curves, grids, text decorations) reuses.

#include <string>

#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "canvas/BrushAndPen.h"
#include "canvas/PathBuilder.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix {

using Detail::TPathBuilder;

namespace {

// Appends "x y w h re op" for a rectangle whose PDF origin is the caller's
// (aLeft, aBottom). Widths are computed in 64 bits so that a rectangle spanning
// the whole 32-bit range cannot overflow.
void AddRectangleLine(Detail::TContentLines& aLines, const TPathBuilder& aPath, int64_t aLeft, int64_t aTop,
                      int64_t aRight, int64_t aBottom, std::string_view aPaintOp) {
  using Detail::TContentLines;
  char* p = aLines.Reserve(4 * NumberRoom + aPaintOp.size() + 16);
  p = aPath.XY(aLines, p, aLeft, aBottom);
  *p++ = ' ';
  p = aPath.Length(aLines, p, aRight - aLeft);
  *p++ = ' ';
  p = TContentLines::Put(aPath.Length(aLines, p, aBottom - aTop), " re ");
  aLines.Advance(aLines.PutLineEnd(TContentLines::Put(p, aPaintOp)));
}

void AddRectangleLine(TPageBuffer& aOut, const TPathBuilder& aPath, int64_t aLeft, int64_t aTop, int64_t aRight,
                      int64_t aBottom, std::string_view aPaintOp) {
  Detail::TContentLines lines(aOut, 160);
  AddRectangleLine(lines, aPath, aLeft, aTop, aRight, aBottom, aPaintOp);
}

// Appends a move to the first point, a line to each further point and the
// paint operator on a line of its own.
void WritePointPath(TPdfCanvas& aCanvas, std::span<const TPoint> aPoints, const std::string& aPaintOp) {
  TPathBuilder path(aCanvas);
  Detail::TContentLines lines(aCanvas.PdfStream());
  path.AddPointLine(lines, aPoints[0].X, aPoints[0].Y, " m");
  for (size_t i = 1; i < aPoints.size(); ++i) path.AddPointLine(lines, aPoints[i].X, aPoints[i].Y, " l");
  lines.Line(aPaintOp);
}

}  // namespace

void TPdfCanvas::DrawMoveTo(int32_t X, int32_t Y) { TPathBuilder(*this).AddPointLine(PdfStream(), X, Y, " m"); }

void TPdfCanvas::DrawLineTo(int32_t X, int32_t Y, const std::string& aPaintOp) {
  using Detail::TContentLines;
  Detail::WriteCallersLine(PdfStream(), aPaintOp, [&](TPageBuffer& aOut) {
    const size_t room = 2 * NumberRoom + aPaintOp.size() + 8;
    TContentLines lines(aOut, room);
    char* p = lines.Reserve(room);
    p = TContentLines::Put(TPathBuilder(*this).XY(lines, p, X, Y), " l");
    if (!aPaintOp.empty()) {
      *p++ = ' ';
      p = TContentLines::Put(p, aPaintOp);
    }
    lines.Advance(lines.PutLineEnd(p));
  });
}

void TPdfCanvas::MoveTo(int32_t X, int32_t Y) {
  if (!FContext.ReadyToDraw()) return;
  SetPenPos(Point(X, Y));
}

void TPdfCanvas::LineTo(int32_t X, int32_t Y) {
  if (!FContext.ReadyToDraw()) return;
  {
    // The room of the brush and pen lines and of both point lines, made at
    // once: growing it on the way costs a call.
    Detail::TContentLines lines(PdfStream(), Detail::TKeptLines<Detail::TPaintKey>::Room + 2 * (2 * NumberRoom + 8));
    if (!WriteBrushAndPen(lines, true, false).empty()) {
      using Detail::TContentLines;
      const TPathBuilder path(*this);
      const TPoint from = PenPos();
      char* p = lines.Reserve(2 * (2 * NumberRoom + 8));
      p = TContentLines::PutLineEnd(TContentLines::Put(path.XY(lines, p, from.X, from.Y), " m"));
      p = TContentLines::PutLineEnd(TContentLines::Put(path.XY(lines, p, X, Y), " l S"));
      lines.Advance(p);
    }
  }
  // An invisible pen still moves: the next LineTo starts here.
  SetPenPos(Point(X, Y));
}

void TPdfCanvas::Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2) {
  if (!FContext.ReadyToDraw()) return;
  CheckRectangle(X1, Y1, X2, Y2);
  Detail::TContentLines lines(PdfStream());
  const std::string_view paintOp = WriteBrushAndPen(lines, true, true);
  if (paintOp.empty()) return;
  AddRectangleLine(lines, TPathBuilder(*this), X1, Y1, X2, Y2, paintOp);
}

void TPdfCanvas::Rectangle(const TRect& aRect) { Rectangle(aRect.Left, aRect.Top, aRect.Right, aRect.Bottom); }

void TPdfCanvas::FillRect(const TRect& aRect) {
  if (!FContext.ReadyToDraw()) return;
  const std::string paintOp = AssignBrushAndPen(false, true);
  if (paintOp.empty()) return;
  // Not normalised: a reversed rectangle keeps its negative width or height.
  AddRectangleLine(PdfStream(), TPathBuilder(*this), aRect.Left, aRect.Top, aRect.Right, aRect.Bottom, paintOp);
}

void TPdfCanvas::FrameRect(const TRect& aRect) {
  if (!FContext.ReadyToDraw()) return;
  // The frame takes the brush colour and a one-unit solid line whatever the
  // pen and brush styles say, so its state lines are written here.
  auto& out = PdfStream();
  out.push_back(ColorDef(Brush().Color()) + "RG");
  out.push_back("[]0 d");
  std::string& width = out.OpenLine();
  AppendPdfNumber(width, UnitToPoint(1));
  width += " w";
  out.CloseLine();
  AddRectangleLine(out, TPathBuilder(*this), aRect.Left, aRect.Top, aRect.Right, aRect.Bottom, "S");
}

void TPdfCanvas::Polyline(std::span<const TPoint> Points) {
  if (!FContext.ReadyToDraw()) return;
  if (Points.size() < 2) Context().RaiseError(MSG_BAD_PARAMETERS, "Polyline");
  const std::string paintOp = AssignBrushAndPen(true, false);
  if (paintOp.empty()) return;  // nothing drawn, so the position stays
  WritePointPath(*this, Points, paintOp);
  SetPenPos(Points.back());
}

void TPdfCanvas::Polygon(std::span<const TPoint> Points) {
  if (!FContext.ReadyToDraw()) return;
  if (Points.size() < 2) Context().RaiseError(MSG_BAD_PARAMETERS, "Polygon");
  const std::string paintOp = AssignBrushAndPen(true, true);
  if (paintOp.empty()) return;
  // Left open on purpose: a fill closes it implicitly, a stroke does not.
  WritePointPath(*this, Points, paintOp);
}

void TPdfCanvas::PolyBezier(std::span<const TPoint> Points) {
  if (!FContext.ReadyToDraw()) return;
  if (Points.size() < 4) Context().RaiseError(MSG_BAD_PARAMETERS, "PolyBezier");
  const std::string paintOp = AssignBrushAndPen(true, false);
  if (paintOp.empty()) return;
  TPathBuilder path(*this);
  auto& out = PdfStream();
  path.AddPointLine(out, Points[0].X, Points[0].Y, " m");
  // Points after the last complete group of three are ignored.
  const size_t segments = (Points.size() - 1) / 3;
  for (size_t k = 0; k < segments; ++k) {
    std::string& line = out.OpenLine();
    for (size_t j = 1; j <= 3; ++j) {
      const TPoint& p = Points[3 * k + j];
      path.XY(line, p.X, p.Y);
      line += ' ';
    }
    line += 'c';
    out.CloseLine();
  }
  out.push_back(paintOp);
}

void TPdfCanvas::PolyBezierTo(std::span<const TPoint> Points) {
  PolyBezier(Points);
  // PolyBezier returned normally: either it drew (or had an invisible pen) in
  // an open document, or the document is aborted and nothing may change.
  if (Context().Aborted) return;
  SetPenPos(Points[3 * ((Points.size() - 1) / 3)]);
}

void TPdfCanvas::Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
void TPdfCanvas::Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
void TPdfCanvas::PolyBezier(std::initializer_list<TPoint> Points) { PolyBezier(std::span<const TPoint>(Points.begin(), Points.size())); }
void TPdfCanvas::PolyBezierTo(std::initializer_list<TPoint> Points) {
  PolyBezierTo(std::span<const TPoint>(Points.begin(), Points.size()));
}

}  // namespace Vellix
