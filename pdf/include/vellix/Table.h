#pragma once
// TPdfTable: a table that flows over pages. It draws the rows of a grid one
// after another from a top position, each as high as its tallest cell (at
// least MinRowHeight), and when the next row does not fit above Bottom it
// ends the page (OnPageBreak first, for a footer), begins the next, places
// the grid at PageTop and draws the header rows again. A row taller than a
// whole page is split: the part that fits is drawn, and its wrapping cells
// continue on the next page where their text stopped, nothing cut.
//
// One pass, flat memory: every row is drawn when it is added; the table
// keeps only its header rows, to repeat them. The grid's columns (widths,
// alignments, wrapping, brushes and pens) are defined beforehand with
// DefineGrid and DefineCol; the canvas font at the time of each row is the
// font of its cells.
//
// After an abort, Begin and the rows do nothing, like every drawing call.
// Errors go through the document's error rule: a header row that does not
// fit on a page, or a split row of which nothing fits, is "Grid row out of
// page: Name".

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <vellix/Brush.h>
#include <vellix/CellStyle.h>
#include <vellix/Export.h>

namespace Vellix {

class TVellix;
class TPdfGrid;

// One row of a table: its cells' texts in column order (missing cells are
// empty, extra ones ignored), the row's background (none: the columns'
// brushes) and styles: Style for every cell of the row, each field of
// CellStyles[i] (when there is one) overriding it for cell i.
struct TTableRow {
  TTableRow() = default;
  explicit TTableRow(std::vector<std::string> aCells) : Cells(std::move(aCells)) {}

  std::vector<std::string> Cells;
  std::optional<TBrush> Brush;
  TCellStyle Style;
  std::vector<TCellStyle> CellStyles;
};

class VELLIX_API TPdfTable {
public:
  // A table over the grid aGridName of aDoc's canvas ("Invalid Grid name"
  // when there is none). The document must stay open while rows are added.
  TPdfTable(TVellix& aDoc, const std::string& aGridName);

  // Rows end at or above Bottom (length unit from the top of the page);
  // default: the page height.
  int32_t Bottom() const { return FBottom; }
  void SetBottom(int32_t aBottom) { FBottom = aBottom; }
  // Where the table continues on each new page; default: the Y of Begin.
  int32_t PageTop() const { return FPageTop.value_or(FTop); }
  void SetPageTop(int32_t aTop) { FPageTop = aTop; }
  // The smallest row height; default 0 (as high as the texts need).
  int32_t MinRowHeight() const { return FMinRowHeight; }
  void SetMinRowHeight(int32_t aHeight) { FMinRowHeight = aHeight; }
  // Called on the page the table is about to leave, before NewPage; it may
  // draw (a footer, "continued"). The last page is the application's own.
  void SetOnPageBreak(std::function<void(TPdfTable&)> aEvent) { FOnPageBreak = std::move(aEvent); }

  // Places the grid with its top at Y on the current page (DrawGrid).
  void Begin(int32_t X, int32_t Y);
  // Draws a header row now, and again at the top of every later page.
  void AddHeaderRow(const TTableRow& aRow);
  // Draws a row below the last one, on a new page when it does not fit.
  void AddRow(const TTableRow& aRow);
  // The height aRow needs: its tallest cell's text with the cell's margins,
  // at least MinRowHeight.
  int32_t RowHeight(const TTableRow& aRow) const;

  // Top of the next row, on the current page.
  int32_t NextRowTop() const;
  // Pages the table began after the first.
  int32_t PageBreaks() const { return FPageBreaks; }
  TVellix& Document() const { return FDoc; }
  TPdfGrid& Grid() const { return FGrid; }

private:
  // aTexts replace aRow's cells (the rest of a split row).
  int32_t HeightOf(const TTableRow& aRow, const std::vector<std::string>& aTexts) const;
  // Draws one row aHeight high; returns what each cell did not show.
  std::vector<std::string> DrawRow(const TTableRow& aRow, const std::vector<std::string>& aTexts, int32_t aHeight);
  void BreakPage();
  // The height of a row of one line of text in the current font.
  int32_t OneLineHeight() const;
  // The page has more than the table's top and headers: a break makes room.
  bool PageHasRows() const { return FRowsOnPage > 0 || FStartedLow; }

  TVellix& FDoc;
  TPdfGrid& FGrid;
  int32_t FX = 0, FTop = 0;
  std::optional<int32_t> FPageTop;
  int32_t FBottom;
  int32_t FMinRowHeight = 0;
  std::function<void(TPdfTable&)> FOnPageBreak;
  std::vector<TTableRow> FHeaders;
  int32_t FRowsOnPage = 0;
  bool FStartedLow = false;
  int32_t FPageBreaks = 0;
};

}  // namespace Vellix
