#include <vellix/Table.h>

#include <algorithm>

#include <vellix/Canvas.h>
#include <vellix/Document.h>
#include <vellix/Grid.h>
#include <vellix/Messages.h>

namespace Vellix {

namespace {

// The row's style with the cell's own fields over it.
TCellStyle CellStyle(const TTableRow& aRow, size_t aCell) {
  TCellStyle style = aRow.Style;
  if (aCell < aRow.CellStyles.size()) {
    const TCellStyle& own = aRow.CellStyles[aCell];
    if (own.Alignment) style.Alignment = own.Alignment;
    if (own.VertAlignment) style.VertAlignment = own.VertAlignment;
    if (own.FontStyle) style.FontStyle = own.FontStyle;
  }
  return style;
}

std::vector<std::string> CellTexts(const TTableRow& aRow, size_t aColumns) {
  std::vector<std::string> texts(aRow.Cells.begin(), aRow.Cells.begin() + std::min(aColumns, aRow.Cells.size()));
  texts.resize(aColumns);
  return texts;
}

}  // namespace

TPdfTable::TPdfTable(TVellix& aDoc, const std::string& aGridName)
    : FDoc(aDoc), FGrid(aDoc.Canvas().GridByName(aGridName)), FBottom(aDoc.PageHeight()) {}

void TPdfTable::Begin(int32_t X, int32_t Y) {
  if (FDoc.Aborted()) return;
  FX = X;
  FTop = Y;
  FGrid.Draw(X, Y);
  FRowsOnPage = 0;
  // A table that begins lower than it continues may move to a new page
  // before its first row, since that page has more room.
  FStartedLow = Y > PageTop();
}

int32_t TPdfTable::NextRowTop() const { return FGrid.NextRowTop(); }

int32_t TPdfTable::RowHeight(const TTableRow& aRow) const {
  return HeightOf(aRow, CellTexts(aRow, FGrid.ColDefs().size()));
}

int32_t TPdfTable::HeightOf(const TTableRow& aRow, const std::vector<std::string>& aTexts) const {
  int32_t height = FMinRowHeight;
  for (size_t i = 0; i < aTexts.size(); ++i)
    height = std::max(height, FGrid.MeasureCellText(*FGrid.ColDefs()[i], aTexts[i], CellStyle(aRow, i)).Height);
  return height;
}

std::vector<std::string> TPdfTable::DrawRow(const TTableRow& aRow, const std::vector<std::string>& aTexts,
                                            int32_t aHeight) {
  FGrid.DrawRow(aHeight, aRow.Brush ? &*aRow.Brush : nullptr);
  const TRowDef& row = *FGrid.RowDefs().back();
  std::vector<std::string> rest(aTexts.size());
  for (size_t i = 0; i < aTexts.size(); ++i) {
    if (aTexts[i].empty()) continue;
    const TColDef& col = *FGrid.ColDefs()[i];
    const int32_t left = FGrid.WriteCellText(col, row, aTexts[i], CellStyle(aRow, i));
    // A one-line column shows one line by its nature; a wrapping one goes on.
    if (col.MultiLine() && left > 0) rest[i] = aTexts[i].substr(aTexts[i].size() - size_t(left));
  }
  return rest;
}

void TPdfTable::AddHeaderRow(const TTableRow& aRow) {
  if (FDoc.Aborted()) return;
  FHeaders.push_back(aRow);
  const std::vector<std::string> texts = CellTexts(aRow, FGrid.ColDefs().size());
  const int32_t height = HeightOf(aRow, texts);
  if (int64_t(NextRowTop()) + height > FBottom) FDoc.RaiseError(MSG_ROW_OUT_OF_PAGE, FGrid.Name());
  DrawRow(aRow, texts, height);
}

void TPdfTable::AddRow(const TTableRow& aRow) {
  if (FDoc.Aborted()) return;
  std::vector<std::string> texts = CellTexts(aRow, FGrid.ColDefs().size());
  for (;;) {
    const int32_t height = HeightOf(aRow, texts);
    const int64_t room = int64_t(FBottom) - NextRowTop();
    if (height <= room) {
      DrawRow(aRow, texts, height);
      ++FRowsOnPage;
      return;
    }
    if (PageHasRows()) {
      BreakPage();
      continue;
    }
    // Taller than a whole page: what fits here, the rest on the next. A
    // page with no room for one line would draw it below Bottom.
    if (room < OneLineHeight()) FDoc.RaiseError(MSG_ROW_OUT_OF_PAGE, FGrid.Name());
    std::vector<std::string> rest = DrawRow(aRow, texts, int32_t(std::max<int64_t>(room, 0)));
    ++FRowsOnPage;
    if (rest == texts) FDoc.RaiseError(MSG_ROW_OUT_OF_PAGE, FGrid.Name());
    texts = std::move(rest);
    if (std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); })) return;
    BreakPage();
  }
}

int32_t TPdfTable::OneLineHeight() const {
  return FDoc.Canvas().TextHeight("A") + 2 * FGrid.InternalMargin();
}

void TPdfTable::BreakPage() {
  if (FOnPageBreak) FOnPageBreak(*this);
  FDoc.NewPage();
  ++FPageBreaks;
  FGrid.Draw(FX, PageTop());
  FRowsOnPage = 0;
  FStartedLow = false;
  for (const TTableRow& header : FHeaders) {
    const std::vector<std::string> texts = CellTexts(header, FGrid.ColDefs().size());
    const int32_t height = HeightOf(header, texts);
    if (int64_t(NextRowTop()) + height > FBottom) FDoc.RaiseError(MSG_ROW_OUT_OF_PAGE, FGrid.Name());
    DrawRow(header, texts, height);
  }
}

}  // namespace Vellix
