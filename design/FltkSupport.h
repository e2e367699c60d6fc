#pragma once
// Small conversions between the library's platform types and FLTK.

#include <FL/Enumerations.H>

#include <string>

#include <vellix/Color.h>

namespace Vellix::Design {

// A library colour (system colours resolved) as an FLTK colour.
Fl_Color ToFlColor(TColor aColor);
// A font size in points as pixels at the 96 dots per inch the library measures with.
int PointsToPixels(int aPoints);
// The FLTK face for a desktop font family: sans-serif families map to
// Helvetica, serif ones to Times, fixed ones to Courier.
Fl_Font ToFlFont(const std::string& aFamily, bool aBold);

}  // namespace Vellix::Design
