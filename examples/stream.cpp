// Writing into a stream of the caller's instead of a file, here a memory
// stream whose bytes could be sent anywhere; this example saves them.
// Usage: example-stream OUTPUT.pdf

#include <cstdio>

#include "Vellix.h"

using namespace Vellix;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    TMemoryStream stream;
    TVellix pdf;
    pdf.SetOutStream(&stream);  // the stream stays the caller's
    pdf.SetLengthUnit(luPoint);
    pdf.SetPaperSizeName("Letter");
    pdf.BeginDoc();
    pdf.Canvas().TextOut(72, 72, "Written into a memory stream");
    pdf.NewPage();
    pdf.Canvas().TextOut(72, 72, "Page 2");
    pdf.EndDoc();

    std::printf("%lld bytes\n", static_cast<long long>(stream.Size()));
    stream.SaveToFile(argv[1]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
