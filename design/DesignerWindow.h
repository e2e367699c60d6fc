#pragma once
// The designer program's main window: a menu (File: New, Open, Save, Save As,
// Quit), the component palette as tabbed pages of class buttons, the form
// with its component, and the inspector of the component's published
// properties. Files are chosen with DesignDialogs().

#include <memory>
#include <string>
#include <vector>

#include "DesignerForm.h"
#include "Inspector.h"
#include "Palette.h"

class Fl_Box;
class Fl_Double_Window;
class Fl_Menu_Bar;
class Fl_Tabs;

namespace Vellix::Design {

class TDesignerWindow {
public:
  // aForm and aPalette are borrowed for the window's life.
  TDesignerWindow(TDesignerForm& aForm, const TPalette& aPalette);
  ~TDesignerWindow();
  TDesignerWindow(const TDesignerWindow&) = delete;
  TDesignerWindow& operator=(const TDesignerWindow&) = delete;

  Fl_Double_Window& Window() const { return *FWindow; }
  TInspector& Inspector() const { return *FInspector; }
  Fl_Tabs& PaletteTabs() const { return *FTabs; }

  // The menu's commands. Those that may lose changes ask first; each returns
  // false when the person cancelled or an error was shown.
  bool FileNew();
  bool FileOpen();
  bool FileSave();
  bool FileSaveAs();
  // Asks about unsaved changes, then closes the window.
  void Quit();
  // The palette button's action: places a component of aClass on the form.
  void PlaceClass(const TComponentClass& aClass);

  // Saves unsaved changes when the person wants to: false when they cancel.
  bool ConfirmDiscard();

private:
  void FormChanged();
  struct TPaletteButton;

  TDesignerForm& FForm;
  const TPalette& FPalette;
  std::unique_ptr<Fl_Double_Window> FWindow;
  Fl_Menu_Bar* FMenu = nullptr;
  Fl_Tabs* FTabs = nullptr;
  Fl_Box* FFormView = nullptr;
  TInspector* FInspector = nullptr;
  std::string FCaption;  // the window keeps a pointer to its label
  std::vector<std::unique_ptr<TPaletteButton>> FButtons;
};

}  // namespace Vellix::Design
