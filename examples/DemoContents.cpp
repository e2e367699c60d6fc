// The first page of the demonstration: a table of contents whose entries
// jump to the sections, a link to the maker's web site, and the footer of
// every page.

#include "DemoPages.h"

#include <string>

using namespace Vellix;

namespace VellixDemo {

void Footer(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  const TFont pageFont = c.Font();  // the page's own text goes on in its font
  c.Font().SetName("Arial");
  c.Font().SetSize(9);
  c.Font().SetStyle({});
  c.Font().SetColor(clGray);
  // The total is not known while the first pages are drawn: PageCountOut
  // leaves it to the end of the document.
  // Room for three digits at the right margin.
  const std::string lead = "Page " + std::to_string(aDoc.PageNumber()) + " of ";
  const int32_t count = aDoc.PageWidth() - 200 - c.TextWidth("000");
  c.TextOut(count - c.TextWidth(lead), 2850, lead);
  c.PageCountOut(count, 2850, 0, taLeftJustify);
  c.Font() = pageFont;
}

void ContentsPage(TVellix& aDoc, const std::vector<TSection>& aSections) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(20);
  c.Font().SetStyle({fsBold});
  c.Font().SetColor(clBlack);
  c.TextOut(200, 150, "Vellix demonstration");
  c.Font().SetSize(12);
  c.Font().SetStyle({});
  c.TextOut(200, 300, "Contents (each line jumps to its section; the reader's bookmarks list them too)");
  int32_t y = 450;
  for (size_t i = 0; i < aSections.size(); ++i, y += 90) {
    const std::string entry = std::to_string(i + 1) + ". " + aSections[i].Title;
    c.TextOut(260, y, entry);
    c.LinkToDestination(Rect(260, y, 260 + c.TextWidth(entry), y + c.TextHeight(entry)), aSections[i].Name);
  }
  const std::string site = "https://www.merovant.com/";
  c.TextOut(200, y + 100, "The library on the web:");
  const int32_t x = 200 + c.TextWidth("The library on the web: ");
  c.Font().SetColor(clBlue);
  c.Font().SetStyle({fsUnderline});
  c.TextOut(x, y + 100, site);
  c.LinkToUri(Rect(x, y + 100, x + c.TextWidth(site), y + 100 + c.TextHeight(site)), site);
  c.Font().SetColor(clBlack);
  c.Font().SetStyle({});
}

}  // namespace VellixDemo
