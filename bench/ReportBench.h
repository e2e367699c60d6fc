#pragma once
// The report workload of the benchmark: pages of wrapped paragraphs and a
// grid of 40 rows by 5 columns with a text in every cell.

#include <cstdint>

#include "Vellix.h"

namespace VellixBench {

// Draws aPages report pages into an open document (the first on the page
// that is open, the others after NewPage).
void ReportPages(Vellix::TVellix& aDoc, int32_t aPages);

}  // namespace VellixBench
