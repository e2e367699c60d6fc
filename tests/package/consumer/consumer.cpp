// A program outside the tree, built against the installed library.
#include <Vellix.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Vellix::TVellix pdf;
  pdf.SetFileName(argv[1]);
  pdf.BeginDoc();
  pdf.NewPage();
  pdf.EndDoc();
  return 0;
}
