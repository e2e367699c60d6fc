#pragma once
// The about box as an FLTK window, built from TAboutBoxContent: a fixed-size
// modal dialog centred on the screen with a lowered panel holding the title
// and the link label, and an OK button.

#include <functional>
#include <memory>

#include "DesignDialogs.h"

class Fl_Double_Window;
class Fl_Box;
class Fl_Button;
class Fl_Widget;

namespace Vellix::Design {

class TAboutBox {
public:
  // Builds the window (not shown). aOnLink runs when the link label is clicked.
  TAboutBox(const TAboutBoxContent& aContent, std::function<void()> aOnLink);
  ~TAboutBox();
  TAboutBox(const TAboutBox&) = delete;
  TAboutBox& operator=(const TAboutBox&) = delete;

  // Shows the box and waits until it is closed; true when closed with OK.
  bool ShowModal();

  Fl_Double_Window& Window() const { return *FWindow; }
  Fl_Box& Panel() const { return *FPanel; }
  Fl_Box& TitleLabel() const { return *FTitle; }
  Fl_Box& LinkLabel() const { return *FLink; }
  Fl_Button& OkButton() const { return *FOk; }

private:
  std::unique_ptr<Fl_Double_Window> FWindow;
  Fl_Box* FPanel = nullptr;  // children are owned by the window
  Fl_Box* FTitle = nullptr;
  Fl_Box* FLink = nullptr;
  Fl_Button* FOk = nullptr;
  std::function<void()> FOnLink;
  bool FConfirmed = false;
};

}  // namespace Vellix::Design
