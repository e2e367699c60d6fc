#pragma once
// Grids: named table layouts kept by the canvas. An application defines a
// grid once (TPdfCanvas::DefineGrid: placement across the page and an inner
// cell margin; then DefineCol for each column, left to right), places it on a
// page (DrawGrid), adds rows one at a time (DrawRow paints the row's cell
// backgrounds and borders at once) and writes text into any cell of the rows
// drawn so far (TextToCell), in any order and with whatever font is current.
//
// All coordinates and sizes are in the document's length unit, measured from
// the top-left corner of the page. A grid has no page break of its own: a
// row that would pass the bottom of the page is refused ("Grid row out of
// page"); a TPdfTable (vellix/Table.h) over the grid breaks pages for it.
// Grids belong to the canvas and outlive documents; NewPage forgets the rows
// of every grid but keeps its columns and the top of its next row.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Alignment.h>
#include <vellix/Brush.h>
#include <vellix/CellStyle.h>
#include <vellix/Component.h>
#include <vellix/Export.h>
#include <vellix/Pen.h>

namespace Vellix {

class TPdfCanvas;
class TPdfGrid;

// One column of a grid: its width, the alignment of its cell texts, whether
// they wrap, and the brush (cell background) and pen (the column's left
// border) that were current on the canvas when the column was defined.
class VELLIX_API TColDef : public TObject {
public:
  // A column of aGrid with the default values; TPdfGrid::AddColDef appends it.
  explicit TColDef(TPdfGrid& aGrid) : FGrid(&aGrid) {}

  // Horizontal alignment of the text in the column's cells.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment aValue) { FAlignment = aValue; }
  // Background of the column's cells; bsClear paints none.
  TBrush& Brush() { return FBrush; }
  const TBrush& Brush() const { return FBrush; }
  TPdfGrid& Grid() const { return *FGrid; }
  // True: cell texts wrap inside the cell (as DrawText). False: one line, cut
  // at the end to the cell's inner width.
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool aValue) { FMultiLine = aValue; }
  // Pen of the column's left border; psClear or width 0 draws none.
  TPen& Pen() { return FPen; }
  const TPen& Pen() const { return FPen; }
  // Vertical alignment of the text in the column's cells.
  TVertAlignment VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TVertAlignment aValue) { FVertAlignment = aValue; }
  // Width in length units; 0 is allowed (a zero-width last column gives the
  // grid its right border).
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t aValue) { FWidth = aValue; }
  // Left edge on the page, set when the grid is placed (DrawGrid).
  int32_t X() const { return FX; }

private:
  friend class TPdfGrid;
  TAlignment FAlignment = taLeftJustify;
  TBrush FBrush;
  TPdfGrid* FGrid;
  bool FMultiLine = false;
  TPen FPen;
  TVertAlignment FVertAlignment = vaTop;
  int32_t FWidth = 0;
  int32_t FX = 0;
};

// One row drawn on the current page: its top and its height.
class VELLIX_API TRowDef : public TObject {
public:
  TRowDef(TPdfGrid& aGrid, int32_t aY, int32_t aHeight) : FGrid(&aGrid), FHeight(aHeight), FY(aY) {}

  TPdfGrid& Grid() const { return *FGrid; }
  // Height in length units; 0 is allowed (a final row of height 0 gives the
  // grid its bottom border).
  int32_t Height() const { return FHeight; }
  // Top of the row, from the top of the page.
  int32_t Y() const { return FY; }

private:
  friend class TPdfGrid;
  TPdfGrid* FGrid;
  int32_t FHeight;
  int32_t FY;
};

// A named grid. Created and owned by its canvas (TPdfCanvas::DefineGrid); it
// owns its column and row definitions.
class VELLIX_API TPdfGrid : public TObject {
public:
  // A grid without columns, not yet placed. The canvas keeps it in Grids().
  TPdfGrid(const std::string& aGridName, TPdfCanvas& aCanvas);
  TPdfGrid(const TPdfGrid&) = delete;
  TPdfGrid& operator=(const TPdfGrid&) = delete;

  // Placement of the whole grid across the page (see Draw).
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment aValue) { FAlignment = aValue; }
  TPdfCanvas& Canvas() const { return *FCanvas; }
  // Columns, left to right, in order of definition.
  const std::vector<std::unique_ptr<TColDef>>& ColDefs() const { return FColDefs; }
  // Inner margin of every cell on all four sides, in length units.
  int32_t InternalMargin() const { return FInternalMargin; }
  void SetInternalMargin(int32_t aValue) { FInternalMargin = aValue; }
  const std::string& Name() const { return FName; }
  // Top of the next row, from the top of the page; -1 until the grid is placed.
  int32_t NextRowTop() const { return FNextRowTop; }
  // Rows drawn on the current page, top to bottom; the index is the row
  // number of TextToCell.
  const std::vector<std::unique_ptr<TRowDef>>& RowDefs() const { return FRowDefs; }
  // Total width (the sum of the column widths), computed by Draw.
  int32_t Width() const { return FWidth; }

  // Appends a column with default values and returns it.
  TColDef& AddColDef();
  // Forget every column (DefineGrid of an existing name does this).
  void ClearColDefs();
  // Forget every row (Draw and NewPage do this); the next row's top stays.
  void ClearRowDefs();

  // Places the grid with its top at Y. taLeftJustify: X is the left edge;
  // taRightJustify: X is the right edge; taCenter: centred on the page, X is
  // not used; taJustify places it like taLeftJustify. Forgets the rows; writes nothing to the page. Errors: "Grid
  // Cols not defined", "Grid too wide" (leaves the page at left or right).
  void Draw(int32_t X, int32_t Y);
  // Adds a row aRowHeight high below the last one and paints its cell
  // backgrounds, the left border of each column and the row's top border
  // (in the canvas pen), then restores the canvas pen and brush. Errors:
  // "Grid Cols not defined", "Grid row out of page" (not placed, or the
  // row's bottom would pass the page height); a refused row changes nothing.
  // With aRowBrush, the whole row's background is painted with it instead
  // of the columns' brushes.
  void DrawRow(int32_t aRowHeight, const TBrush* aRowBrush = nullptr);
  // Writes Text into the cell of aColDef and aRowDef with the canvas font,
  // inside the inner margin: wrapped (DrawText) in a multi-line column,
  // otherwise as one line cut to the inner width. Adds to what the cell holds.
  // aStyle overrides the column's alignments and the font's style. Returns
  // the number of characters not drawn (below the cell, or cut at its right).
  // A single-line cell with taJustify is left-aligned (its one line ends its
  // paragraph).
  int32_t WriteCellText(const TColDef& aColDef, const TRowDef& aRowDef, const std::string& Text,
                        const TCellStyle& aStyle = {});
  // The lines of Text in aColDef's cells and the row height they need (the
  // inner margin above and below included), with aStyle's font style.
  TTextMeasure MeasureCellText(const TColDef& aColDef, const std::string& Text, const TCellStyle& aStyle = {});

private:
  TAlignment FAlignment = taLeftJustify;
  TPdfCanvas* FCanvas;
  std::vector<std::unique_ptr<TColDef>> FColDefs;
  int32_t FInternalMargin = 0;
  std::string FName;
  int32_t FNextRowTop = -1;
  std::vector<std::unique_ptr<TRowDef>> FRowDefs;
  int32_t FWidth = 0;
};

}  // namespace Vellix
