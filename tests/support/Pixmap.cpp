#include "support/Pixmap.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/Readers.h"

namespace VellixTest {

bool TPixmap::Load(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> FWidth >> FHeight >> maxValue;
  in.get();
  if (!in || magic != "P6" || maxValue != 255) return false;
  FData.assign(std::istreambuf_iterator<char>(in), {});
  return FData.size() == size_t(FWidth) * size_t(FHeight) * 3;
}

TRgb TPixmap::At(int aX, int aY) const {
  const size_t i = (size_t(aY) * size_t(FWidth) + size_t(aX)) * 3;
  return {uint8_t(FData[i]), uint8_t(FData[i + 1]), uint8_t(FData[i + 2])};
}

int TPixmap::CountNear(int aR, int aG, int aB, int aX1, int aY1, int aX2, int aY2) const {
  if (aX2 < 0) aX2 = FWidth;
  if (aY2 < 0) aY2 = FHeight;
  int n = 0;
  for (int y = aY1; y < aY2; ++y)
    for (int x = aX1; x < aX2; ++x) {
      const TRgb c = At(x, y);
      if (std::abs(c.R - aR) < 40 && std::abs(c.G - aG) < 40 && std::abs(c.B - aB) < 40) ++n;
    }
  return n;
}

TPixmap RenderPage(const std::string& aPdf, int aPage, int aDpi, const std::string& aRoot) {
  const std::string page = std::to_string(aPage);
  TPixmap map;
  if (PdfToPpm(aPdf, {"-r", std::to_string(aDpi), "-f", page, "-l", page, "-singlefile"}, aRoot).Status == 0)
    map.Load(aRoot + ".ppm");
  return map;
}

}  // namespace VellixTest
