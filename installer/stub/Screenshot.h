// Pictures of the installer's windows, saved as PNG files for documentation
// and tests.
#pragma once

#include <string>

class Fl_Window;

namespace Decantor {

// Draws aWindow's pending changes and saves its client area to aPath as an
// RGB PNG. False when the window is not shown or the file cannot be written.
bool SaveWindowImage(Fl_Window& aWindow, const std::string& aPath);

}  // namespace Decantor
