#include "Inspector.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Output.H>

#include <algorithm>

#include "DesignDialogs.h"
#include <vellix/Published.h>

namespace Vellix::Design {

struct TInspector::TRow {
  TInspector* Owner = nullptr;
  std::string Name;
  std::unique_ptr<TPropertyEditor> Editor;  // null for the Name row
  Fl_Box* Label = nullptr;
  Fl_Input* Input = nullptr;
  Fl_Choice* Choice = nullptr;
  Fl_Button* Ellipsis = nullptr;
  std::vector<std::string> Values;      // the drop-down's entries
  std::vector<Fl_Menu_Item> MenuItems;  // point into Values
};

namespace {

constexpr int kRowHeight = 24;
constexpr int kLabelWidth = 142;
constexpr int kButtonWidth = 24;
constexpr int kScrollbar = 18;

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    return up(x) < up(y);
  });
}

}  // namespace

TInspector::TInspector(int aX, int aY, int aW, int aH) : Fl_Scroll(aX, aY, aW, aH) {
  type(Fl_Scroll::VERTICAL);
  box(FL_DOWN_BOX);
  color(FL_WHITE);
  end();
}

TInspector::~TInspector() {
  clear();  // widgets first: their menus point into the rows
}

void TInspector::Load(TDesignerForm& aForm) {
  clear();
  FRows.clear();
  FForm = &aForm;
  FShown = aForm.Component();
  if (!FShown) {
    redraw();
    return;
  }
  begin();
  int y = this->y() + 2;
  int valueX = x() + 2 + kLabelWidth;
  int valueW = w() - kLabelWidth - kScrollbar - 6;

  auto addRow = [&](std::unique_ptr<TRow> aRow) {
    TRow& row = *aRow;
    row.Owner = this;
    row.Label = new Fl_Box(FL_FLAT_BOX, x() + 2, y, kLabelWidth - 2, kRowHeight - 2, nullptr);
    row.Label->copy_label(row.Name.c_str());
    row.Label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    row.Label->color(FL_WHITE);
    row.Label->labelsize(12);
    TPropertyAttributes attributes = row.Editor ? row.Editor->GetAttributes() : 0;
    if (attributes & paValueList) {
      row.Choice = new Fl_Choice(valueX, y, valueW, kRowHeight - 2);
      row.Choice->textsize(12);
      row.Editor->GetValues([&](const std::string& v) { row.Values.push_back(v); });
      if (attributes & paSortList) std::stable_sort(row.Values.begin(), row.Values.end(), LessNoCase);
      // A static menu keeps duplicate entries (two papers may share a name),
      // which FLTK's add() would merge.
      for (const auto& v : row.Values) {
        Fl_Menu_Item item{};
        item.text = v.c_str();
        item.labelsize_ = 12;
        row.MenuItems.push_back(item);
      }
      row.MenuItems.push_back(Fl_Menu_Item{});
      row.Choice->menu(row.MenuItems.data());
      row.Choice->callback(ChoiceCallback, &row);
    } else {
      int inputW = attributes & paDialog ? valueW - kButtonWidth : valueW;
      row.Input = attributes & paReadOnly ? new Fl_Output(valueX, y, inputW, kRowHeight - 2)
                                          : new Fl_Input(valueX, y, inputW, kRowHeight - 2);
      row.Input->textsize(12);
      row.Input->when(FL_WHEN_ENTER_KEY | FL_WHEN_RELEASE);
      row.Input->callback(InputCallback, &row);
      if (attributes & paDialog) {
        row.Ellipsis = new Fl_Button(valueX + inputW, y, kButtonWidth, kRowHeight - 2, "...");
        row.Ellipsis->callback(EllipsisCallback, &row);
      }
    }
    y += kRowHeight;
    FRows.push_back(std::move(aRow));
  };

  auto nameRow = std::make_unique<TRow>();
  nameRow->Name = "Name";
  addRow(std::move(nameRow));
  for (auto& editor : aForm.CreateEditors()) {
    auto row = std::make_unique<TRow>();
    row->Name = editor->GetName();
    row->Editor = std::move(editor);
    addRow(std::move(row));
  }
  end();
  Refresh();
}

void TInspector::Refresh() {
  for (auto& r : FRows) {
    std::string value;
    try {
      value = r->Editor ? r->Editor->GetValue() : FShown->Name();
    } catch (const std::exception& e) {
      value = std::string("(") + e.what() + ")";
    }
    if (r->Input) {
      r->Input->value(value.c_str());
      r->Input->clear_changed();
    }
    if (r->Choice) {
      auto it = std::find(r->Values.begin(), r->Values.end(), value);
      r->Choice->value(it == r->Values.end() ? -1 : static_cast<int>(it - r->Values.begin()));
    }
  }
  redraw();
}

TInspector::TRow* TInspector::Find(const std::string& aProperty) const {
  for (const auto& r : FRows)
    if (TPublishedTable::SameName(r->Name, aProperty)) return r.get();
  return nullptr;
}

Fl_Input* TInspector::InputOf(const std::string& aProperty) const {
  TRow* r = Find(aProperty);
  return r ? r->Input : nullptr;
}

Fl_Choice* TInspector::ChoiceOf(const std::string& aProperty) const {
  TRow* r = Find(aProperty);
  return r ? r->Choice : nullptr;
}

Fl_Button* TInspector::EllipsisOf(const std::string& aProperty) const {
  TRow* r = Find(aProperty);
  return r ? r->Ellipsis : nullptr;
}

std::vector<std::string> TInspector::ChoicesOf(const std::string& aProperty) const {
  TRow* r = Find(aProperty);
  return r ? r->Values : std::vector<std::string>{};
}

void TInspector::Type(const std::string& aProperty, const std::string& aText) {
  if (TRow* r = Find(aProperty)) Apply(*r, aText);
}

void TInspector::Choose(const std::string& aProperty, int aIndex) {
  TRow* r = Find(aProperty);
  if (r && aIndex >= 0 && static_cast<size_t>(aIndex) < r->Values.size())
    Apply(*r, r->Values[static_cast<size_t>(aIndex)]);
}

void TInspector::Apply(TRow& aRow, const std::string& aText) {
  if (FApplying || !FForm) return;
  FApplying = true;
  if (aRow.Input) aRow.Input->clear_changed();
  try {
    if (aRow.Editor)
      aRow.Editor->SetValue(aText);
    else
      FForm->Rename(aText);
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
  }
  FApplying = false;
  Refresh();
}

void TInspector::EditRow(TRow& aRow) {
  if (FApplying || !aRow.Editor) return;
  FApplying = true;
  try {
    aRow.Editor->Edit();
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
  }
  FApplying = false;
  Refresh();
}

void TInspector::InputCallback(Fl_Widget* aWidget, void* aRow) {
  auto* row = static_cast<TRow*>(aRow);
  auto* input = static_cast<Fl_Input*>(aWidget);
  // Leaving or confirming an unchanged box is no edit.
  if (!input->changed()) return;
  row->Owner->Apply(*row, input->value());
}

void TInspector::ChoiceCallback(Fl_Widget* aWidget, void* aRow) {
  auto* row = static_cast<TRow*>(aRow);
  int index = static_cast<Fl_Choice*>(aWidget)->value();
  if (index >= 0 && static_cast<size_t>(index) < row->Values.size())
    row->Owner->Apply(*row, row->Values[static_cast<size_t>(index)]);
}

void TInspector::EllipsisCallback(Fl_Widget*, void* aRow) {
  auto* row = static_cast<TRow*>(aRow);
  row->Owner->EditRow(*row);
}

}  // namespace Vellix::Design
