// Random shape calls with coordinates from everyday to the 32-bit limits:
// nothing may crash, overflow (the sanitizer build checks), write a number a
// reader refuses, or leave an unreadable document.

#include <climits>
#include <random>

#include "ShapeFixture.h"

namespace Vellix::ShapeTests {
namespace {

TEST_F(ShapeTest, RandomCallsKeepTheDocumentSound) {
  std::mt19937 random(20261208);
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 2, INT32_MAX - 1, INT32_MAX};
  auto any = [&]() -> int32_t {
    switch (random() % 3) {
      case 0: return extremes[random() % std::size(extremes)];
      case 1: return int32_t(random() % 3000);
      default: return int32_t(random());
    }
  };
  // Arcs cost a line per unit of arc length, so they get page-sized boxes
  // here; the bounded cost of huge ones is tested on its own.
  auto onPage = [&]() { return int32_t(random() % 3100) - 50; };
  std::vector<TPoint> points;
  const TPenStyle pens[] = {psSolid, psDash, psClear, psInsideFrame};
  const TBrushStyle brushes[] = {bsSolid, bsClear, bsCross};
  for (int call = 0; call < 1500; ++call) {
    if (call % 500 == 499) Doc.NewPage();
    Canvas().Pen().SetStyle(pens[random() % std::size(pens)]);
    Canvas().Pen().SetWidth(any());
    Canvas().Brush().SetStyle(brushes[random() % std::size(brushes)]);
    Canvas().Brush().SetColor(TColor(random()));
    points.assign(2 + random() % 8, TPoint{});
    for (TPoint& p : points) p = Point(any(), any());
    const int32_t x1 = any(), y1 = any(), x2 = any(), y2 = any();
    const int32_t a = onPage(), b = onPage(), c = onPage(), d = onPage();
    const size_t before = Canvas().PdfStream().size();
    try {
      switch (random() % 12) {
        case 0: Canvas().LineTo(x1, y1); break;
        case 1: Canvas().Rectangle(x1, y1, x2, y2); break;
        case 2: Canvas().FillRect(Rect(x1, y1, x2, y2)); break;
        case 3: Canvas().FrameRect(Rect(x1, y1, x2, y2)); break;
        case 4: Canvas().Polyline(points); break;
        case 5: Canvas().Polygon(points); break;
        case 6: Canvas().PolyBezierTo(points); break;
        case 7: Canvas().Ellipse(x1, y1, x2, y2); break;
        case 8: Canvas().RoundRect(x1, y1, x2, y2, any(), any()); break;
        case 9: Canvas().Arc(a, b, c, d, any(), any(), any(), any()); break;
        case 10: Canvas().Chord(a, b, a + 1 + int32_t(random() % 3), d, any(), any(), any(), any()); break;
        default: Canvas().Pie(a, b, c, b + 1, any(), any(), any(), any()); break;
      }
    } catch (const Exception& e) {
      // Only the documented errors, each of which ends the document.
      const std::string message = e.Message();
      EXPECT_TRUE(message == "Bad rectangle definition" || message.rfind("Bad parameters for method: ", 0) == 0)
          << message;
      EXPECT_TRUE(Doc.Aborted());
      Begin(luTenth);
      continue;
    }
    const auto& lines = Canvas().PdfStream();
    for (size_t i = before; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].find("nan"), std::string::npos) << lines[i];
      ASSERT_EQ(lines[i].find("inf"), std::string::npos) << lines[i];
    }
  }
}

}  // namespace
}  // namespace Vellix::ShapeTests
