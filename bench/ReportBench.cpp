#include "ReportBench.h"

#include <string>

using namespace Vellix;

namespace VellixBench {

namespace {

const std::string Paragraph =
    "Line breaking measures text over and over: every line of a paragraph is tried against the width of its "
    "box, character by character, until it stops fitting, and then broken after the last blank or punctuation "
    "mark that still fits. A report page holds a few such paragraphs and a table whose cells are measured "
    "again to be aligned, centred or cut to their width. ";

void DefineTable(TPdfCanvas& c) {
  c.Pen().SetColor(clNavy);
  c.Pen().SetWidth(3);
  c.Brush().SetColor(RGB(240, 244, 250));
  c.DefineGrid("Bench", taCenter, 8);
  c.DefineCol("Bench", 200, taRightJustify, vaCenter, false);
  c.DefineCol("Bench", 450, taLeftJustify, vaCenter, false);
  c.DefineCol("Bench", 550, taLeftJustify, vaTop, true);
  c.DefineCol("Bench", 300, taCenter, vaCenter, false);
  c.DefineCol("Bench", 250, taRightJustify, vaBottom, false);
  c.DefineCol("Bench", 0, taLeftJustify, vaTop, false);
}

}  // namespace

void ReportPages(TVellix& aDoc, int32_t aPages) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Arial");
  DefineTable(c);
  for (int32_t page = 0; page < aPages; ++page) {
    if (page > 0) aDoc.NewPage();
    c.Font().SetSize(10);
    c.SetTextY(150);
    for (int i = 0; i < 2; ++i) {
      c.DrawText(150, 0, 1950, 0, i == 0 ? taLeftJustify : taRightJustify, vaTop, Paragraph + Paragraph);
      c.SetTextY(c.TextY() + 20);
    }
    c.Font().SetSize(8);
    c.DrawGrid("Bench", 0, c.TextY() + 20);
    for (int32_t row = 0; row < 40; ++row) {
      c.DrawRow("Bench", 48);
      const int32_t n = page * 40 + row;
      c.TextToCell("Bench", 0, row, std::to_string(n + 1));
      c.TextToCell("Bench", 1, row, "Article number " + std::to_string(n * 7919 % 100000));
      c.TextToCell("Bench", 2, row, "A description that is far too long to fit in its cell, so it is cut.");
      c.TextToCell("Bench", 3, row, n % 3 == 0 ? "in stock" : "on order");
      c.TextToCell("Bench", 4, row, std::to_string(n * 37 % 1000) + "." + std::to_string(10 + n % 90));
    }
    c.DrawRow("Bench", 0);
  }
}

}  // namespace VellixBench
