// What a reader shows: a page of known shapes rendered by poppler's pdftoppm,
// with the colours checked at chosen pixels. The document is in points and
// rendered at 72 dpi, so one length unit is one pixel.

#include <cstdint>
#include <fstream>
#include <iterator>

#include "ShapeFixture.h"

namespace Vellix::ShapeTests {
namespace {

struct TRgb {
  int R, G, B;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

std::ostream& operator<<(std::ostream& aOut, const TRgb& aColor) {
  return aOut << "rgb(" << aColor.R << "," << aColor.G << "," << aColor.B << ")";
}

// A binary PPM (P6, maxval 255) as pdftoppm writes it.
class TPixmap {
public:
  bool Load(const std::string& aPath) {
    std::ifstream in(aPath, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> FWidth >> FHeight >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255) return false;
    FData.assign(std::istreambuf_iterator<char>(in), {});
    return FData.size() == size_t(FWidth) * size_t(FHeight) * 3;
  }
  TRgb At(int aX, int aY) const {
    const size_t i = (size_t(aY) * size_t(FWidth) + size_t(aX)) * 3;
    return {uint8_t(FData[i]), uint8_t(FData[i + 1]), uint8_t(FData[i + 2])};
  }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  int FWidth = 0, FHeight = 0;
  std::string FData;
};

constexpr TRgb White{255, 255, 255}, Red{255, 0, 0}, Blue{0, 0, 255}, Green{0, 128, 0}, Black{0, 0, 0},
    Yellow{255, 255, 0};

TEST_F(ShapeTest, PdftoppmShowsTheShapes) {
  Begin(luPoint);
  TPdfCanvas& c = Canvas();
  c.Pen().SetStyle(psClear);
  c.Brush().SetColor(clRed);
  c.Rectangle(50, 50, 150, 120);
  c.Brush().SetColor(clBlue);
  c.Ellipse(200, 50, 400, 150);
  // The upper right quarter of a circle: from the radial to the right round
  // to the radial straight up.
  c.Brush().SetColor(clGreen);
  c.Pie(50, 200, 250, 400, 250, 300, 150, 200);
  c.Brush().SetColor(clYellow);
  c.RoundRect(300, 200, 500, 300, 40, 30);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(6);
  c.MoveTo(50, 500);
  c.LineTo(500, 500);
  End();
  EXPECT_EQ(VellixTest::MutoolDraw(Path).Status, 0);  // no operator a reader does not know

  const std::string prefix = Path + "-page";
  ASSERT_EQ(VellixTest::PdfToPpm(Path, {"-r", "72", "-singlefile"}, prefix).Status, 0);
  TPixmap page;
  ASSERT_TRUE(page.Load(prefix + ".ppm"));
  ASSERT_EQ(page.Width(), 595);
  ASSERT_EQ(page.Height(), 842);

  EXPECT_EQ(page.At(100, 85), Red);      // inside the rectangle
  EXPECT_EQ(page.At(160, 85), White);    // just right of it
  EXPECT_EQ(page.At(300, 100), Blue);    // centre of the ellipse
  EXPECT_EQ(page.At(215, 100), Blue);    // near its left end
  EXPECT_EQ(page.At(210, 58), White);    // a corner of its box, outside it
  EXPECT_EQ(page.At(200, 250), Green);   // inside the wedge
  EXPECT_EQ(page.At(155, 210), Green);   // just right of its upright edge
  EXPECT_EQ(page.At(100, 250), White);   // the upper left quarter
  EXPECT_EQ(page.At(200, 350), White);   // the lower right quarter
  EXPECT_EQ(page.At(400, 250), Yellow);  // the rounded rectangle's middle
  EXPECT_EQ(page.At(302, 202), White);   // cut off by its rounded corner
  EXPECT_EQ(page.At(275, 500), Black);   // on the stroked line
  EXPECT_EQ(page.At(275, 510), White);   // beside it
}

}  // namespace
}  // namespace Vellix::ShapeTests
