#include "DesignerWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Tabs.H>

#include "DesignDialogs.h"

namespace Vellix::Design {

namespace {

constexpr int kWidth = 620;
constexpr int kHeight = 610;
constexpr int kMenuHeight = 25;
constexpr int kPaletteHeight = 62;
constexpr int kFormWidth = 210;

const char* const kFormFilter = "Form Files|*.vfm|All Files|*.*";

TDesignerWindow& Of(void* aWindow) { return *static_cast<TDesignerWindow*>(aWindow); }
void NewCallback(Fl_Widget*, void* w) { Of(w).FileNew(); }
void OpenCallback(Fl_Widget*, void* w) { Of(w).FileOpen(); }
void SaveCallback(Fl_Widget*, void* w) { Of(w).FileSave(); }
void SaveAsCallback(Fl_Widget*, void* w) { Of(w).FileSaveAs(); }
void QuitCallback(Fl_Widget*, void* w) { Of(w).Quit(); }

}  // namespace

// What a palette button's callback needs: the window and the class to place.
struct TDesignerWindow::TPaletteButton {
  TDesignerWindow* Window;
  const TComponentClass* Class;
};

TDesignerWindow::TDesignerWindow(TDesignerForm& aForm, const TPalette& aPalette)
    : FForm(aForm), FPalette(aPalette) {
  FWindow = std::make_unique<Fl_Double_Window>(kWidth, kHeight);
  FMenu = new Fl_Menu_Bar(0, 0, kWidth, kMenuHeight);
  FMenu->add("&File/&New", FL_CTRL + 'n', NewCallback, this);
  FMenu->add("&File/&Open...", FL_CTRL + 'o', OpenCallback, this);
  FMenu->add("&File/&Save", FL_CTRL + 's', SaveCallback, this);
  FMenu->add("&File/Save &As...", 0, SaveAsCallback, this,
             FL_MENU_DIVIDER);
  FMenu->add("&File/&Quit", FL_CTRL + 'q', QuitCallback, this);

  // The palette: one tab per page, one button per class.
  FTabs = new Fl_Tabs(4, kMenuHeight + 4, kWidth - 8, kPaletteHeight);
  for (const auto& page : aPalette.Pages()) {
    auto* group = new Fl_Group(4, kMenuHeight + 26, kWidth - 8, kPaletteHeight - 22);
    group->copy_label(page.Name.c_str());
    int x = 10;
    for (const auto& cls : page.Classes) {
      auto* b = new Fl_Button(x, kMenuHeight + 30, 90, 30);
      b->copy_label(cls.ClassName.c_str());
      b->tooltip("Place this component on the form");
      FButtons.push_back(std::make_unique<TPaletteButton>(TPaletteButton{this, &cls}));
      b->callback([](Fl_Widget*, void* d) {
        auto* data = static_cast<TPaletteButton*>(d);
        data->Window->PlaceClass(*data->Class);
      }, FButtons.back().get());
      x += 96;
    }
    group->end();
  }
  FTabs->end();

  int top = kMenuHeight + kPaletteHeight + 10;
  FFormView = new Fl_Box(FL_DOWN_BOX, 4, top, kFormWidth, kHeight - top - 4, "");
  FFormView->color(fl_rgb_color(236, 233, 216));
  FFormView->align(FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  FFormView->labelsize(13);
  FInspector = new TInspector(kFormWidth + 8, top, kWidth - kFormWidth - 12, kHeight - top - 4);
  FWindow->end();
  FWindow->resizable(FInspector);
  FWindow->callback([](Fl_Widget*, void* w) { static_cast<TDesignerWindow*>(w)->Quit(); }, this);

  FForm.OnChange = [this] { FormChanged(); };
  FormChanged();
}

TDesignerWindow::~TDesignerWindow() { FForm.OnChange = nullptr; }

void TDesignerWindow::FormChanged() {
  FCaption = FForm.Caption();
  FWindow->label(FCaption.c_str());
  TComponent* c = FForm.Component();
  if (c)
    FFormView->copy_label(("\n" + c->Name() + ": " + c->ClassName()).c_str());
  else
    FFormView->copy_label("\nEmpty form.\nPlace a component from the palette.");
  // A new component needs new rows; otherwise the rows show the new values.
  if (c != FInspector->Shown())
    FInspector->Load(FForm);
  else
    FInspector->Refresh();
  FWindow->redraw();
}

bool TDesignerWindow::ConfirmDiscard() {
  if (!FForm.IsModified()) return true;
  switch (DesignDialogs().AskSaveChanges("Save changes to " + FForm.Caption() + "?")) {
    case 1: return FileSave();
    case 0: return true;
    default: return false;
  }
}

bool TDesignerWindow::FileNew() {
  if (!ConfirmDiscard()) return false;
  FForm.New();
  return true;
}

bool TDesignerWindow::FileOpen() {
  if (!ConfirmDiscard()) return false;
  TFileDialogRequest request{"Open Form", kFormFilter, ""};
  if (!DesignDialogs().ExecuteOpen(request)) return false;
  try {
    FForm.Open(request.FileName);
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
    return false;
  }
  return true;
}

bool TDesignerWindow::FileSave() {
  if (FForm.FileName().empty()) return FileSaveAs();
  try {
    FForm.Save();
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
    return false;
  }
  return true;
}

bool TDesignerWindow::FileSaveAs() {
  TFileDialogRequest request{"Save Form As", kFormFilter, FForm.FileName()};
  if (!DesignDialogs().ExecuteSave(request)) return false;
  try {
    FForm.SaveAs(request.FileName);
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
    return false;
  }
  return true;
}

void TDesignerWindow::Quit() {
  // Escape closes FLTK windows; a designer only closes through Quit.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  if (ConfirmDiscard()) FWindow->hide();
}

void TDesignerWindow::PlaceClass(const TComponentClass& aClass) {
  try {
    FForm.Place(aClass);
  } catch (const std::exception& e) {
    DesignDialogs().ShowError(e.what());
  }
}

}  // namespace Vellix::Design
