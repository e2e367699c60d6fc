// An invoice that flows over pages: a logo, a bold shaded header row
// repeated on every page, item rows whose descriptions wrap to one to four
// lines, right-aligned amounts, the total on the last page and "Page n of N"
// in every footer.
// Usage: example-invoice OUTPUT.pdf [ROWS]   (40 rows by default)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Vellix.h"

using namespace Vellix;

namespace {

constexpr int32_t Left = 200, Bottom = 2700;

// A small emblem made in code, so that the example needs no file.
void DrawLogo(TPdfCanvas& aCanvas) {
  TBitmap logo(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const int32_t dx = x - 32, dy = y - 32;
      const bool ring = dx * dx + dy * dy < 900 && dx * dx + dy * dy > 400;
      logo.Canvas().SetPixel(x, y, ring ? RGB(30, 90, 160) : (x + y) % 16 < 8 ? RGB(230, 236, 245) : clWhite);
    }
  aCanvas.StretchDraw(Rect(Left, 150, Left + 250, 400), &logo);
}

// "1,234.50" from a number of cents.
std::string Money(long long aCents) {
  std::string whole = std::to_string(aCents / 100);
  for (int at = int(whole.size()) - 3; at > 0; at -= 3) whole.insert(size_t(at), 1, ',');
  const int cents = int(aCents % 100);
  return whole + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

// One to four lines in the description column, depending on the row.
std::string Description(int aRow) {
  static const char* const Parts[] = {"Layout of the monthly report, first draft.",
                                      "Two rounds of corrections and colour proofs.",
                                      "Travel to the client's office, reduced rate.",
                                      "Archive copy on durable media for ten years."};
  std::string text;
  for (int part = 0; part <= (aRow * 7 + aRow / 3) % 4; ++part) {
    if (part > 0) text += ' ';
    text += Parts[part];
  }
  return text;
}

void Footer(TVellix& aPdf) {
  TPdfCanvas& c = aPdf.Canvas();
  const TFont font = c.Font();
  c.Font().SetSize(8);
  c.Font().SetStyle({});
  const std::string lead = "Page " + std::to_string(aPdf.PageNumber()) + " of ";
  c.TextOut(Left, 2850, "Merovant Consulting - invoice 2026-0042");
  c.TextOut(1600, 2850, lead);
  c.PageCountOut(1600 + c.TextWidth(lead), 2850, 0, taLeftJustify);
  c.Font() = font;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf [ROWS]\n", argv[0]);
    return 2;
  }
  const int rows = argc > 2 ? std::atoi(argv[2]) : 40;
  if (rows < 0) {
    std::fprintf(stderr, "example-invoice: ROWS must be 0 or more\n");
    return 2;
  }
  try {
    TVellix pdf;
    pdf.SetFileName(argv[1]);
    pdf.SetTitle("Invoice 2026-0042");
    pdf.SetOnNewPage([&pdf](TObject*) { Footer(pdf); });
    pdf.BeginDoc();
    TPdfCanvas& c = pdf.Canvas();
    c.Font().SetName("Arial");
    c.Font().SetSize(10);
    DrawLogo(c);
    c.Font().SetSize(18);
    c.Font().SetStyle({fsBold});
    c.TextOut(Left + 300, 170, "Invoice 2026-0042");
    c.Font().SetSize(10);
    c.Font().SetStyle({});
    c.TextOut(Left + 300, 280, "Merovant Consulting, 12 Harbour Street, Porthaven");
    c.TextOut(Left + 300, 330, "To: Example Publishing Ltd");

    // The columns: item, a wrapping description, quantity, unit price, amount.
    c.Pen().SetColor(clGray);
    c.Brush().SetStyle(bsClear);
    c.DefineGrid("items", taLeftJustify, 20);
    c.DefineCol("items", 200, taLeftJustify, vaTop, false);
    c.DefineCol("items", 850, taLeftJustify, vaTop, true);
    c.DefineCol("items", 150, taRightJustify, vaTop, false);
    c.DefineCol("items", 250, taRightJustify, vaTop, false);
    c.DefineCol("items", 250, taRightJustify, vaTop, false);
    c.DefineCol("items", 0, taLeftJustify, vaTop, false);  // the right border

    TPdfTable table(pdf, "items");
    table.SetBottom(Bottom);
    table.SetPageTop(200);
    table.Begin(Left, 500);
    TTableRow header({"Item", "Description", "Qty", "Unit price", "Amount"});
    header.Brush = TBrush();
    header.Brush->SetColor(RGB(210, 220, 235));
    header.Style.FontStyle = TFontStyles{fsBold};
    header.Style.VertAlignment = vaCenter;
    table.SetMinRowHeight(70);
    table.AddHeaderRow(header);

    long long total = 0;
    TBrush shade;
    shade.SetColor(RGB(238, 242, 248));
    for (int row = 1; row <= rows; ++row) {
      const int quantity = 1 + row % 5;
      const long long unit = 1250 + (row * 3797) % 40000;  // cents
      total += quantity * unit;
      TTableRow item({"Row " + std::to_string(row), Description(row), std::to_string(quantity), Money(unit),
                      Money(quantity * unit)});
      if (row % 2 == 0) item.Brush = shade;
      table.AddRow(item);
    }
    TTableRow sum({"", "Total", "", "", Money(total)});
    sum.Style.FontStyle = TFontStyles{fsBold};
    sum.CellStyles = {{}, TCellStyle{taRightJustify, std::nullopt, std::nullopt}};
    table.AddRow(sum);
    // The bottom border of the last row.
    c.DrawRow("items", 0);
    pdf.EndDoc();
    std::printf("%d rows on %d pages written to %s\n", rows, pdf.PageNumber(), pdf.FileName().c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "example-invoice: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
