#include "FltkSupport.h"

#include <FL/Fl.H>

#include <cmath>

namespace Vellix::Design {

Fl_Color ToFlColor(TColor aColor) {
  TColor rgb = ColorToRGB(aColor);
  return fl_rgb_color(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

int PointsToPixels(int aPoints) { return static_cast<int>(std::nearbyint(aPoints * 96.0 / 72.0)); }

Fl_Font ToFlFont(const std::string& aFamily, bool aBold) {
  std::string f;
  for (char c : aFamily) f += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (f.find("courier") != std::string::npos || f.find("mono") != std::string::npos)
    return aBold ? FL_COURIER_BOLD : FL_COURIER;
  if (f.find("times") != std::string::npos || f.find("serif") == 0)
    return aBold ? FL_TIMES_BOLD : FL_TIMES;
  return aBold ? FL_HELVETICA_BOLD : FL_HELVETICA;
}

}  // namespace Vellix::Design
