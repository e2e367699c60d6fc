// vellix-designer: sets up a TVellix's published properties with the
// registered property editors and saves them as a form file that an
// application loads at run time.
//
//   vellix-designer [--screenshot FILE.png] [FORM.vfm]
//
// An existing FORM is opened; a FORM that does not exist yet is created
// holding a new TVellix. Without FORM the designer starts with an empty form
// on which the palette places the component. --screenshot shows the window,
// saves what it displays as a PNG and exits.

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "DesignDialogs.h"
#include "DesignerForm.h"
#include "DesignerWindow.h"
#include "Palette.h"
#include "PdfReg.h"
#include "PropertyEditorRegistry.h"
#include "Screenshot.h"
#include <vellix/Application.h>

using namespace Vellix::Design;

int main(int argc, char** argv) {
  std::string formFile, screenshot;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || argv[i][0] == '-') {
      std::fprintf(stderr, "usage: %s [--screenshot FILE.png] [FORM.vfm]\n", argv[0]);
      return argv[i][1] == '-' && std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
    } else {
      formFile = argv[i];
    }
  }

  Register();
  Vellix::Application::SetMessageHandler([](const std::string& aText) {
    DesignDialogs().ShowError(aText);
  });
  TDesignerForm form(ComponentPalette(), PropertyEditors());
  TDesignerWindow window(form, ComponentPalette());

  if (!formFile.empty()) {
    struct stat st;
    try {
      if (stat(formFile.c_str(), &st) == 0) {
        form.Open(formFile);
      } else {
        form.Place(*ComponentPalette().FindClass("TVellix"));
        form.SaveAs(formFile);
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vellix-designer: %s\n", e.what());
      return 1;
    }
  }

  window.Window().show();
  if (!screenshot.empty()) {
    for (int i = 0; i < 20; ++i) Fl::wait(0.02);
    if (!SaveWindowPng(window.Window(), screenshot)) {
      std::fprintf(stderr, "vellix-designer: cannot write %s\n", screenshot.c_str());
      return 1;
    }
    return 0;
  }
  return Fl::run();
}
