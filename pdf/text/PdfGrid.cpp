#include <vellix/Grid.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "writer/DocumentContext.h"

namespace Vellix {

namespace {

// Real-to-integer conversions round to the nearest integer, ties to even;
// long double holds every sum of two 32-bit integers and its half exactly.
int64_t RoundHalf(long double aValue) { return int64_t(std::rint(aValue)); }

// Edges computed from a position and a size or margin, held to 32 bits so
// that extreme column widths or margins cannot overflow.
int32_t Edge(int64_t aValue) { return int32_t(std::clamp<int64_t>(aValue, INT32_MIN, INT32_MAX)); }

// Puts the caller's pen and brush back when a row is done, also when one of
// its drawing operations fails, so an error never leaves a column's pen or
// brush on the canvas.
class TPenBrushKeeper {
public:
  explicit TPenBrushKeeper(TPdfCanvas& aCanvas)
      : FCanvas(aCanvas), FPen(aCanvas.Pen()), FBrush(aCanvas.Brush()) {}
  TPenBrushKeeper(const TPenBrushKeeper&) = delete;
  TPenBrushKeeper& operator=(const TPenBrushKeeper&) = delete;
  ~TPenBrushKeeper() { Restore(); }
  void Restore() {
    FCanvas.Brush().Assign(FBrush);
    FCanvas.Pen().Assign(FPen);
  }

private:
  TPdfCanvas& FCanvas;
  TPen FPen;
  TBrush FBrush;
};

}  // namespace

TPdfGrid::TPdfGrid(const std::string& aGridName, TPdfCanvas& aCanvas) : FCanvas(&aCanvas), FName(aGridName) {}

TColDef& TPdfGrid::AddColDef() {
  FColDefs.push_back(std::make_unique<TColDef>(*this));
  return *FColDefs.back();
}

void TPdfGrid::ClearColDefs() { FColDefs.clear(); }

void TPdfGrid::ClearRowDefs() { FRowDefs.clear(); }

void TPdfGrid::Draw(int32_t X, int32_t Y) {
  TDocumentContext& owner = FCanvas->Context();
  FWidth = 0;
  if (FColDefs.empty()) owner.RaiseError(MSG_GRID_COLS_NOT_DEFINED, FName);
  // Summed wide, so that columns whose widths overflow 32 bits are reported
  // as too wide with their true total instead of wrapping round.
  int64_t width = 0;
  for (const auto& col : FColDefs) width += col->FWidth;
  FWidth = int32_t(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
  const int64_t pageWidth = owner.PageWidth;
  int64_t left = X;
  switch (FAlignment) {
    case taLeftJustify: case taJustify: left = X; break;
    case taRightJustify: left = int64_t(X) - width; break;
    case taCenter: left = RoundHalf((pageWidth - width) / 2.0L); break;
  }
  if (left < 0 || left + width > pageWidth)
    owner.RaiseError(MSG_GRID_TOO_WIDE, FName + " (" + std::to_string(width) + ")");
  for (const auto& col : FColDefs) {
    col->FX = Edge(left);
    left += col->FWidth;
  }
  ClearRowDefs();
  FNextRowTop = Y;
}

void TPdfGrid::DrawRow(int32_t aRowHeight, const TBrush* aRowBrush) {
  TDocumentContext& owner = FCanvas->Context();
  if (FColDefs.empty()) owner.RaiseError(MSG_GRID_COLS_NOT_DEFINED, FName);
  if (FNextRowTop < 0 || int64_t(FNextRowTop) + aRowHeight > owner.PageHeight)
    owner.RaiseError(MSG_ROW_OUT_OF_PAGE, FName);
  FRowDefs.push_back(std::make_unique<TRowDef>(*this, FNextRowTop, aRowHeight));
  FNextRowTop += aRowHeight;
  const int32_t top = FRowDefs.back()->FY;
  const int32_t bottom = Edge(int64_t(top) + aRowHeight);

  TPdfCanvas& canvas = *FCanvas;
  TPenBrushKeeper keeper(canvas);
  // Every background of the row first, then every border, so that no
  // background of this row covers a border of it.
  if (aRowHeight > 0 && aRowBrush != nullptr) {
    const int32_t right = Edge(int64_t(FColDefs.front()->FX) + FWidth);
    if (aRowBrush->Style() != bsClear && right > FColDefs.front()->FX) {
      canvas.Brush().Assign(*aRowBrush);
      canvas.Pen().SetStyle(psClear);
      canvas.Rectangle(FColDefs.front()->FX, top, right, bottom);
    }
  } else if (aRowHeight > 0) {
    for (const auto& col : FColDefs) {
      if (col->FBrush.Style() == bsClear || col->FWidth <= 0) continue;
      // A column that starts at the edge of the coordinate range has nothing
      // left to paint there.
      const int32_t right = Edge(int64_t(col->FX) + col->FWidth);
      if (right == col->FX) continue;
      canvas.Brush().Assign(col->FBrush);
      canvas.Pen().SetStyle(psClear);
      canvas.Rectangle(col->FX, top, right, bottom);
    }
  }
  for (const auto& col : FColDefs) {
    if (col->FPen.Style() == psClear || col->FPen.Width() == 0) continue;
    canvas.Pen().Assign(col->FPen);
    canvas.MoveTo(col->FX, top);
    canvas.LineTo(col->FX, bottom);
  }
  keeper.Restore();
  const int32_t left = FColDefs.front()->FX;
  canvas.MoveTo(left, top);
  canvas.LineTo(Edge(int64_t(left) + FWidth), top);
}

namespace {

// Sets the canvas font's style for one cell and puts the font's own back
// afterwards, also when drawing fails.
class TFontStyleKeeper {
public:
  TFontStyleKeeper(TPdfCanvas& aCanvas, const TCellStyle& aStyle) : FCanvas(aCanvas), FStyle(aCanvas.Font().Style()) {
    if (aStyle.FontStyle) aCanvas.Font().SetStyle(*aStyle.FontStyle);
  }
  TFontStyleKeeper(const TFontStyleKeeper&) = delete;
  TFontStyleKeeper& operator=(const TFontStyleKeeper&) = delete;
  ~TFontStyleKeeper() { FCanvas.Font().SetStyle(FStyle); }

private:
  TPdfCanvas& FCanvas;
  TFontStyles FStyle;
};

}  // namespace

int32_t TPdfGrid::WriteCellText(const TColDef& aColDef, const TRowDef& aRowDef, const std::string& Text,
                                const TCellStyle& aStyle) {
  TPdfCanvas& canvas = *FCanvas;
  TFontStyleKeeper fontStyle(canvas, aStyle);
  const TAlignment alignment = aStyle.Alignment.value_or(aColDef.FAlignment);
  const TVertAlignment vertAlignment = aStyle.VertAlignment.value_or(aColDef.FVertAlignment);
  const int32_t m = FInternalMargin;
  const int32_t left = Edge(int64_t(aColDef.FX) + m);
  const int32_t right = Edge(int64_t(aColDef.FX) + aColDef.FWidth - m);
  const int32_t top = Edge(int64_t(aRowDef.FY) + m);
  const int32_t bottom = Edge(int64_t(aRowDef.FY) + aRowDef.FHeight - m);
  if (aColDef.FMultiLine) return canvas.DrawText(left, top, right, bottom, alignment, vertAlignment, Text);
  std::string text = Text;
  const int32_t w = canvas.TextWidth(text);
  int32_t x = left;
  switch (alignment) {
    case taLeftJustify: case taJustify: x = left; break;
    case taRightJustify: x = Edge(int64_t(right) - w); break;
    // Centred by the column's full width, not its inner width.
    case taCenter: x = Edge(RoundHalf(aColDef.FX + (int64_t(aColDef.FWidth) - w) / 2.0L)); break;
  }
  if (x < left) x = left;
  if (int64_t(x) + w > right) canvas.TruncateText(text, Edge(int64_t(right) - left));
  const int32_t h = canvas.TextHeight(text);
  int32_t y = top;
  switch (vertAlignment) {
    case vaTop: y = top; break;
    case vaBottom: y = Edge(int64_t(bottom) - h); break;
    case vaCenter: y = Edge(RoundHalf(aRowDef.FY + (int64_t(aRowDef.FHeight) - h) / 2.0L)); break;
  }
  if (y < top) y = top;
  canvas.TextOut(x, y, text);
  canvas.SetTextY(Edge(int64_t(y) + canvas.TextHeight("A")));
  return int32_t(Text.size() - text.size());
}

TTextMeasure TPdfGrid::MeasureCellText(const TColDef& aColDef, const std::string& Text, const TCellStyle& aStyle) {
  TPdfCanvas& canvas = *FCanvas;
  TFontStyleKeeper fontStyle(canvas, aStyle);
  const int64_t margins = 2 * int64_t(FInternalMargin);
  TTextMeasure measure{1, canvas.TextHeight("A")};
  if (aColDef.FMultiLine) measure = canvas.MeasureText(Edge(aColDef.FWidth - margins), Text);
  return {measure.Lines, Edge(measure.Height + margins)};
}

// The canvas's grid operations.

TPdfGrid* TPdfCanvas::FindGrid(const std::string& aGridName) const {
  const int32_t index = FGrids.IndexOf(aGridName);
  return index < 0 ? nullptr : FGrids.Objects(index);
}

TPdfGrid& TPdfCanvas::GridByName(const std::string& aGridName) {
  TPdfGrid* grid = FindGrid(aGridName);
  if (!grid) Context().RaiseError(MSG_INVALID_GRID_NAME, aGridName);
  return *grid;
}

void TPdfCanvas::DefineGrid(const std::string& aGridName, TAlignment aAlignment, int32_t aInternalMargin) {
  TPdfGrid* grid = FindGrid(aGridName);
  if (grid) {
    grid->ClearColDefs();
  } else {
    auto created = std::make_unique<TPdfGrid>(aGridName, *this);
    grid = created.get();
    FGrids.AddObject(aGridName, std::move(created));
  }
  grid->SetAlignment(aAlignment);
  grid->SetInternalMargin(aInternalMargin);
}

void TPdfCanvas::DefineCol(const std::string& aGridName, int32_t aWidth, TAlignment aAlignment,
                           TVertAlignment aVertAlignment, bool aMultiLine) {
  TColDef& col = GridByName(aGridName).AddColDef();
  col.SetWidth(aWidth);
  col.SetAlignment(aAlignment);
  col.SetVertAlignment(aVertAlignment);
  col.SetMultiLine(aMultiLine);
  col.Brush().Assign(Brush());
  col.Pen().Assign(Pen());
}

void TPdfCanvas::DrawGrid(const std::string& aGridName, int32_t X, int32_t Y) { GridByName(aGridName).Draw(X, Y); }

void TPdfCanvas::DrawRow(const std::string& aGridName, int32_t aRowHeight) {
  GridByName(aGridName).DrawRow(aRowHeight);
}

void TPdfCanvas::DrawRow(const std::string& aGridName, int32_t aRowHeight, const TBrush& aRowBrush) {
  GridByName(aGridName).DrawRow(aRowHeight, &aRowBrush);
}

int32_t TPdfCanvas::TextToCell(const std::string& aGridName, int32_t Col, int32_t Row, const std::string& Text) {
  return TextToCell(aGridName, Col, Row, Text, TCellStyle{});
}

int32_t TPdfCanvas::TextToCell(const std::string& aGridName, int32_t Col, int32_t Row, const std::string& Text,
                               const TCellStyle& aStyle) {
  TPdfGrid& grid = GridByName(aGridName);
  if (Col < 0 || size_t(Col) >= grid.ColDefs().size() || Row < 0 || size_t(Row) >= grid.RowDefs().size())
    Context().RaiseError(MSG_INVALID_CELL,
                       aGridName + "(" + std::to_string(Col) + "," + std::to_string(Row) + ")");
  return grid.WriteCellText(*grid.ColDefs()[size_t(Col)], *grid.RowDefs()[size_t(Row)], Text, aStyle);
}

TTextMeasure TPdfCanvas::MeasureCell(const std::string& aGridName, int32_t Col, const std::string& Text,
                                     const TCellStyle& aStyle) {
  TPdfGrid& grid = GridByName(aGridName);
  if (Col < 0 || size_t(Col) >= grid.ColDefs().size())
    Context().RaiseError(MSG_INVALID_CELL, aGridName + "(" + std::to_string(Col) + ",-1)");
  return grid.MeasureCellText(*grid.ColDefs()[size_t(Col)], Text, aStyle);
}

void TPdfCanvas::ClearGridRows() {
  for (int32_t i = 0; i < FGrids.Count(); ++i) FGrids.Objects(i)->ClearRowDefs();
}

}  // namespace Vellix
