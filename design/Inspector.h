#pragma once
// The object inspector: one row per published property of the form's
// component, each driven by the property editor the registry chose. A value
// list shows as a drop-down, a dialog editor as a text box with an ellipsis
// button, anything else as a text box that applies on Enter or when it loses
// the focus. A value the component refuses is reported in a message box
// (DesignDialogs().ShowError) and the row shows the component's value again.

#include <FL/Fl_Scroll.H>

#include <memory>
#include <string>
#include <vector>

#include "DesignerForm.h"

class Fl_Box;
class Fl_Button;
class Fl_Choice;
class Fl_Input;

namespace Vellix::Design {

class TInspector : public Fl_Scroll {
public:
  TInspector(int aX, int aY, int aW, int aH);
  ~TInspector() override;

  // Builds the rows for aForm's component (none on an empty form). aForm is
  // borrowed until the next Load.
  void Load(TDesignerForm& aForm);
  // Shows every row's current value again (after any change: a setter may
  // change other properties too).
  void Refresh();
  // The component whose rows are shown, or null.
  TComponent* Shown() const { return FShown; }

  // The widgets of a row, for tests and screenshots; null when the row has
  // none of that kind. "Name" is the component's name row.
  Fl_Input* InputOf(const std::string& aProperty) const;
  Fl_Choice* ChoiceOf(const std::string& aProperty) const;
  Fl_Button* EllipsisOf(const std::string& aProperty) const;
  // The values offered by a row's drop-down, in list order.
  std::vector<std::string> ChoicesOf(const std::string& aProperty) const;
  // Applies text to a row as if typed and confirmed, or a drop-down entry as
  // if chosen (by its index in the list).
  void Type(const std::string& aProperty, const std::string& aText);
  void Choose(const std::string& aProperty, int aIndex);

  struct TRow;

private:
  TRow* Find(const std::string& aProperty) const;
  void Apply(TRow& aRow, const std::string& aText);
  void EditRow(TRow& aRow);
  static void InputCallback(Fl_Widget* aWidget, void* aRow);
  static void ChoiceCallback(Fl_Widget* aWidget, void* aRow);
  static void EllipsisCallback(Fl_Widget* aWidget, void* aRow);

  TDesignerForm* FForm = nullptr;
  TComponent* FShown = nullptr;
  std::vector<std::unique_ptr<TRow>> FRows;
  bool FApplying = false;  // a message box must not trigger a second apply
};

}  // namespace Vellix::Design
