// The smallest program: one page with one line of text.
// Usage: example-hello OUTPUT.pdf

#include <cstdio>

#include "Vellix.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    Vellix::TVellix pdf;
    pdf.SetFileName(argv[1]);
    pdf.SetTitle("Hello");
    pdf.BeginDoc();
    // Coordinates are tenths of a millimetre from the top-left corner.
    pdf.Canvas().Font().SetName("Arial");
    pdf.Canvas().Font().SetSize(24);
    pdf.Canvas().TextOut(200, 200, "Hello, PDF!");
    pdf.EndDoc();
    // Aborted without an exception: a font the library could not use (its
    // message has gone to standard error) and nothing was written.
    if (pdf.Aborted()) return 1;
  } catch (const Vellix::Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
