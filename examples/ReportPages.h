#pragma once
// The report section of the demonstration: paragraphs flowing down the pages
// with TextY, then a price table drawn with a grid that continues over
// several pages.

#include "Vellix.h"

namespace VellixDemo {

// Draws the report from the top of the current page on; begins new pages as
// needed and leaves the last one open.
void ReportPages(Vellix::TVellix& aDoc);

}  // namespace VellixDemo
