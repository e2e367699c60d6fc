#pragma once
// The flowing-table workload: 10,000 invoice rows (a label, a description
// that wraps to one to four lines, three right-aligned figures) drawn with
// TPdfTable, then the same rows by ReportLab's Platypus Table
// (bench/reportlab_table.py, when Debian's python3-reportlab is there), side
// by side in one run, with the ratio of rows per second.

#include <string>

namespace VellixBench {

void TableWorkload(const std::string& aOutput);

}  // namespace VellixBench
