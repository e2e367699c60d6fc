#pragma once
// A page rendered by pdftoppm, read back as RGB pixels.

#include <ostream>
#include <string>

namespace VellixTest {

struct TRgb {
  int R = 0, G = 0, B = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

inline std::ostream& operator<<(std::ostream& aOut, const TRgb& aColor) {
  return aOut << "rgb(" << aColor.R << "," << aColor.G << "," << aColor.B << ")";
}

// A binary PPM (P6, maxval 255) as pdftoppm writes it.
class TPixmap {
public:
  // False when the file is not such a PPM.
  bool Load(const std::string& aPath);
  TRgb At(int aX, int aY) const;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // How many pixels of the rectangle [aX1, aX2) x [aY1, aY2) (the whole
  // page by default) are within 40 of (aR, aG, aB) in each component.
  int CountNear(int aR, int aG, int aB, int aX1 = 0, int aY1 = 0, int aX2 = -1, int aY2 = -1) const;

private:
  int FWidth = 0, FHeight = 0;
  std::string FData;
};

// Renders page aPage of aPdf at aDpi into aRoot + ".ppm" and loads it; an
// empty pixmap when pdftoppm fails.
TPixmap RenderPage(const std::string& aPdf, int aPage, int aDpi, const std::string& aRoot);

}  // namespace VellixTest
