// What a reader shows: a page of known shapes rendered by poppler's pdftoppm,
// with the colours checked at chosen pixels. The document is in points and
// rendered at 72 dpi, so one length unit is one pixel.

#include <cstdint>

#include "ShapeFixture.h"
#include "support/Pixmap.h"

namespace Vellix::ShapeTests {
namespace {

using VellixTest::TPixmap;
using VellixTest::TRgb;

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
