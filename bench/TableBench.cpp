#include "TableBench.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "Memory.h"
#include "Vellix.h"

using namespace Vellix;

namespace VellixBench {

namespace {

constexpr int Rows = 10000;

// The rows reportlab_table.py builds too, by the same rule.
const char* const Parts[] = {"Layout of the monthly report, first draft.",
                             "Two rounds of corrections and colour proofs.",
                             "Travel to the client's office, reduced rate.",
                             "Archive copy on durable media for ten years."};

std::string Money(long long aCents) {
  std::string whole = std::to_string(aCents / 100);
  for (int at = int(whole.size()) - 3; at > 0; at -= 3) whole.insert(size_t(at), 1, ',');
  const int cents = int(aCents % 100);
  return whole + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

TTableRow Row(int aNumber) {
  std::string description;
  for (int part = 0; part <= (aNumber * 7 + aNumber / 3) % 4; ++part) {
    if (part > 0) description += ' ';
    description += Parts[part];
  }
  const int quantity = 1 + aNumber % 5;
  const long long unit = 1250 + (aNumber * 3797) % 40000;
  return TTableRow({"Row " + std::to_string(aNumber), description, std::to_string(quantity), Money(unit),
                    Money(quantity * unit)});
}

struct TTableRun {
  double Seconds = 0;
  int Pages = 0;
  long ResidentAtThousand = 0, ResidentAtEnd = 0;
};

TTableRun DrawWithVellix(const std::string& aOutput) {
  TTableRun run;
  const auto start = std::chrono::steady_clock::now();
  TVellix doc;
  doc.SetFileName(aOutput);
  doc.BeginDoc();
  TPdfCanvas& c = doc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(10);
  c.Pen().SetColor(clGray);
  c.Brush().SetStyle(bsClear);
  c.DefineGrid("items", taLeftJustify, 20);
  c.DefineCol("items", 200, taLeftJustify, vaTop, false);
  c.DefineCol("items", 850, taLeftJustify, vaTop, true);
  c.DefineCol("items", 150, taRightJustify, vaTop, false);
  c.DefineCol("items", 250, taRightJustify, vaTop, false);
  c.DefineCol("items", 250, taRightJustify, vaTop, false);
  c.DefineCol("items", 0, taLeftJustify, vaTop, false);
  TPdfTable table(doc, "items");
  table.SetBottom(2700);
  table.Begin(200, 200);
  TTableRow header({"Item", "Description", "Qty", "Unit price", "Amount"});
  header.Brush = TBrush();
  header.Brush->SetColor(RGB(210, 220, 235));
  header.Style.FontStyle = TFontStyles{fsBold};
  table.AddHeaderRow(header);
  for (int row = 1; row <= Rows; ++row) {
    table.AddRow(Row(row));
    if (row == 1000) run.ResidentAtThousand = ResidentKiB();
  }
  c.DrawRow("items", 0);
  run.ResidentAtEnd = ResidentKiB();
  run.Pages = doc.PageNumber();
  doc.EndDoc();
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

// The script's own timing of the document build (the interpreter's start
// not counted); 0 when it could not run.
TTableRun DrawWithReportLab(const std::string& aOutput) {
  TTableRun run;
  const std::string script = std::string(VELLIX_BENCH_DIR) + "/reportlab_table.py";
  const std::string command =
      "timeout 900 /usr/bin/python3 '" + script + "' " + std::to_string(Rows) + " '" + aOutput + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  int rows = 0;
  if (!pipe || std::fscanf(pipe.get(), "%d %d %lf", &rows, &run.Pages, &run.Seconds) != 3 || rows != Rows) return {};
  return run;
}

}  // namespace

void TableWorkload(const std::string& aOutput) {
  const TTableRun vellix = DrawWithVellix(aOutput);
  std::printf("%-12s %-40s %6d rows %5d pages %7.3f s %10.0f rows/s  resident at row 1000: %ld KiB, at row %d: %ld KiB\n",
              "table", "Vellix TPdfTable, wrapped cells", Rows, vellix.Pages, vellix.Seconds, Rows / vellix.Seconds,
              vellix.ResidentAtThousand, Rows, vellix.ResidentAtEnd);
  const TTableRun reportlab = DrawWithReportLab(aOutput + ".reportlab.pdf");
  ::unlink((aOutput + ".reportlab.pdf").c_str());
  if (reportlab.Seconds <= 0) {
    std::printf("%-12s ReportLab not available (Debian's python3-reportlab: bash scripts/setup.sh --bench)\n", "table");
    return;
  }
  std::printf("%-12s %-40s %6d rows %5d pages %7.3f s %10.0f rows/s  Vellix x%.1f\n", "table",
              "ReportLab Platypus Table, same rows", Rows, reportlab.Pages, reportlab.Seconds, Rows / reportlab.Seconds,
              reportlab.Seconds / vellix.Seconds);
}

}  // namespace VellixBench
