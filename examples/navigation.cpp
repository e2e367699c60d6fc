// Navigation: a table of contents that jumps, bookmarks, a web link and
// "Page n of N" in every footer, all written in the one pass.
// Usage: example-navigation OUTPUT.pdf

#include <cstdio>
#include <string>

#include "Vellix.h"

using namespace Vellix;

namespace {

const char* const Chapters[] = {"Getting started", "Drawing on pages", "Finding your way"};

// The footer of every page, drawn as the page begins (OnNewPage): the total
// is not known yet, so PageCountOut draws it when the document ends.
void Footer(TVellix& aPdf) {
  TPdfCanvas& c = aPdf.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(9);
  const std::string lead = "Page " + std::to_string(aPdf.PageNumber()) + " of ";
  c.TextOut(200, 2850, lead);
  c.PageCountOut(200 + c.TextWidth(lead), 2850, 0, taLeftJustify);
}

void ContentsPage(TVellix& aPdf) {
  TPdfCanvas& c = aPdf.Canvas();
  aPdf.AddOutline("Contents", 1, 1);
  c.Font().SetSize(20);
  c.TextOut(200, 200, "Contents");
  c.Font().SetSize(12);
  for (int i = 0; i < 3; ++i) {
    const int32_t y = 400 + i * 100;
    const std::string entry = std::to_string(i + 1) + ". " + Chapters[i];
    c.TextOut(200, y, entry);
    // The chapters' destinations are defined on later pages.
    c.LinkToDestination(Rect(200, y, 200 + c.TextWidth(entry), y + c.TextHeight(entry)),
                        "chapter-" + std::to_string(i + 1));
  }
  const std::string web = "https://www.example.org/vellix";
  c.Font().SetColor(clBlue);
  c.Font().SetStyle({fsUnderline});
  c.TextOut(200, 800, web);
  c.LinkToUri(Rect(200, 800, 200 + c.TextWidth(web), 800 + c.TextHeight(web)), web);
  c.Font().SetColor(clBlack);
  c.Font().SetStyle({});
}

void ChapterPage(TVellix& aPdf, int aNumber) {
  TPdfCanvas& c = aPdf.Canvas();
  const std::string name = "chapter-" + std::to_string(aNumber);
  aPdf.AddDestination(name, 0, 150);
  aPdf.AddOutlineToDestination(std::to_string(aNumber) + ". " + Chapters[aNumber - 1], 1, name);
  aPdf.AddOutline("A section", 2, aPdf.PageNumber(), 600);
  c.Font().SetSize(20);
  c.TextOut(200, 200, std::to_string(aNumber) + ". " + Chapters[aNumber - 1]);
  c.Font().SetSize(12);
  c.TextOut(200, 600, "A section");
  c.TextOut(200, 1000, "Back to the contents");
  c.LinkToPage(Rect(200, 1000, 200 + c.TextWidth("Back to the contents"), 1050), 1, 0, clSilver);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    TVellix pdf;
    pdf.SetFileName(argv[1]);
    pdf.SetTitle("Vellix navigation");
    pdf.SetOnNewPage([&pdf](TObject*) { Footer(pdf); });
    pdf.BeginDoc();
    ContentsPage(pdf);
    for (int chapter = 1; chapter <= 3; ++chapter) {
      pdf.NewPage();
      ChapterPage(pdf, chapter);
    }
    pdf.EndDoc();
    std::printf("%d pages written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "example-navigation: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
