// The window module's entry point (see WindowModule.h): the FLTK face when
// a display can be opened.
#include <X11/Xlib.h>

#include <cstdio>
#include <exception>

#include "FltkFace.h"
#include "WindowModule.h"

extern "C" __attribute__((visibility("default"))) Decantor::TInstallerFace* decantor_window_face(
    const char* aScreenshotDir, char* aWhyNot, std::size_t aLength) {
  // FLTK ends the program when it cannot open the display: ask X first.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::snprintf(aWhyNot, aLength, "the display %s cannot be opened", XDisplayName(nullptr));
    return nullptr;
  }
  XCloseDisplay(display);
  try {
    return new Decantor::TFltkFace(aScreenshotDir);
  } catch (const std::exception& e) {
    std::snprintf(aWhyNot, aLength, "%s", e.what());
    return nullptr;
  }
}
