#pragma once
// Saves what a shown FLTK window displays as a PNG file (tests keep these as
// artefacts; the designer program's --screenshot option uses it).

#include <string>

class Fl_Window;

namespace Vellix::Design {

// Draws aWindow's pending changes, reads its pixels from the display and
// writes them as an 8-bit RGB PNG. False when the window is not shown or the
// file cannot be written.
bool SaveWindowPng(Fl_Window& aWindow, const std::string& aFileName);

}  // namespace Vellix::Design
