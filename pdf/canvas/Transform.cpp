// The graphics state of the canvas: save and restore, clipping, and the
// transformations of what is drawn next.
//
// The canvas maps its coordinates to PDF points by F(x, y) = (k x, k (H - y))
// (k points per unit, H the page height in units). A transformation T of the
// canvas's own coordinates becomes F T F^-1 in PDF space, which is what "cm"
// receives; conjugating each one by F keeps their composition that of T.

#include <cmath>

#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix {

namespace {
constexpr long double Pi = 3.14159265358979323846264338327950288L;
}

void TPdfCanvas::AddMatrix(long double A, long double B, long double C, long double D, long double E, long double F) {
  std::string line;
  for (const long double value : {A, B, C, D, E, F}) {
    AppendPdfNumber(line, value);
    line += ' ';
  }
  line += "cm";
  AddLine(line);
}

void TPdfCanvas::SaveState() {
  if (!CheckDocumentState()) return;
  FSavedStates.push_back({FPen, FBrush, FFont, FFontAngle});
  AddLine("q");
}

void TPdfCanvas::RestoreState() {
  if (!CheckDocumentState()) return;
  if (FSavedStates.empty()) FContext.RaiseError(MSG_INVALID_METHOD_CALL, "RestoreState");
  TSavedState& state = FSavedStates.back();
  FPen.Assign(state.Pen);
  FBrush.Assign(state.Brush);
  FFont.Assign(state.Font);
  FFontAngle = state.FontAngle;
  FSavedStates.pop_back();
  AddLine("Q");
}

void TPdfCanvas::CloseSavedStates() {
  for (; !FSavedStates.empty(); FSavedStates.pop_back()) AddLine("Q");
}

void TPdfCanvas::ClipRect(const TRect& aRect) {
  if (!CheckDocumentState()) return;
  const long double x1 = UnitToPoint(aRect.Left), x2 = UnitToPoint(aRect.Right);
  const long double y1 = YToPoint(aRect.Top), y2 = YToPoint(aRect.Bottom);
  std::string line;
  for (const long double value : {std::fmin(x1, x2), std::fmin(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1)}) {
    AppendPdfNumber(line, value);
    line += ' ';
  }
  line += "re W n";
  AddLine(line);
}

void TPdfCanvas::Translate(int32_t DX, int32_t DY) {
  if (!CheckDocumentState()) return;
  AddMatrix(1, 0, 0, 1, UnitToPoint(DX), -UnitToPoint(DY));
}

void TPdfCanvas::Rotate(long double aDegrees) {
  if (!CheckDocumentState()) return;
  const long double angle = aDegrees * Pi / 180;
  const long double c = std::cos(angle), s = std::sin(angle);
  const long double h = UnitToPoint(FContext.PageHeight);
  // F R F^-1 with R(u, v) = (u c - v s, u s + v c).
  AddMatrix(c, -s, s, c, -s * h, h * (1 - c));
}

void TPdfCanvas::Scale(long double aScaleX, long double aScaleY) {
  if (!CheckDocumentState()) return;
  const long double h = UnitToPoint(FContext.PageHeight);
  AddMatrix(aScaleX, 0, 0, aScaleY, 0, h * (1 - aScaleY));
}

}  // namespace Vellix
