// The angles of an arc's walk against the long double accumulation they
// stand for: every angle, its double, and whether it is below the end, for
// walks that start on and near binade edges and zero, cross zero, run into
// binades where the step lies halfway between two units, and stop at an end
// the walk reaches exactly.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

#include "canvas/ArcAngle.h"

namespace {

using Vellix::Detail::TArcAngle;

constexpr long double Pi = std::numbers::pi_v<long double>;

// Walks aMaxSteps steps at most; returns the number of mismatches (and
// reports the first).
int CompareWalk(long double aStart, long double aStep, long double aEnd, int aMaxSteps) {
  TArcAngle angle(aStart, aStep, aEnd);
  long double t = aStart;
  for (int k = 0; k <= aMaxSteps; ++k) {
    const bool same = angle.Extended() == t && std::signbit(angle.Extended()) == std::signbit(t) &&
                      angle.Double() == static_cast<double>(t) && angle.BeforeEnd() == (t < aEnd);
    if (!same) {
      ADD_FAILURE() << "start " << double(aStart) << " step " << double(aStep) << " end " << double(aEnd)
                    << ": step " << k << " gives " << double(angle.Extended()) << " for " << double(t);
      return 1;
    }
    if (!(t < aEnd)) break;
    t += aStep;
    angle.Advance();
  }
  return 0;
}

// The angle after aSteps steps, as the accumulation reaches it.
long double Accumulated(long double aStart, long double aStep, int aSteps) {
  for (int k = 0; k < aSteps; ++k) aStart += aStep;
  return aStart;
}

}  // namespace

TEST(ArcAngle, EveryAngleIsTheAccumulatedOne) {
  std::mt19937_64 random(2024);
  std::uniform_real_distribution<double> start(-2 * double(Pi), 3 * double(Pi));
  const long double edges[] = {0.0L, -0.0L, 0.5L, -0.5L, 1, -1, 2, -2, 4, -4, 8, Pi / 2, -Pi / 2, Pi, 0x1p-20L};
  int failures = 0;
  for (int walk = 0; walk < 6000 && failures == 0; ++walk) {
    const long double jitter = 0x1p-40L * static_cast<long double>(random() % 4096);  // bits below the double's
    long double a = static_cast<long double>(start(random)) * (1 + jitter);
    if (walk % 3 == 0) a = edges[random() % std::size(edges)];
    if (walk % 3 == 1) a = std::nextafter(edges[random() % std::size(edges)], -1.0L);  // just below an edge
    // The steps of arcs, 1 / (rx + ry); some of powers of two times 1.5 or
    // 1.25, which fall halfway between two units, or a quarter past one, in
    // some binades.
    long double step = 1.0L / static_cast<long double>(2 + random() % 65535);
    if (walk % 5 == 0) step = std::ldexp(walk % 2 ? 1.5L : 1.25L, -int(4 + random() % 24));
    const long double end = a + 2 * Pi * static_cast<long double>(random() % 1000) / 1000;
    failures += CompareWalk(a, step, end, 3000);
  }
  EXPECT_EQ(failures, 0);
}

TEST(ArcAngle, AnEndReachedExactlyIsNotBelowItself) {
  std::mt19937_64 random(7);
  int failures = 0;
  for (int walk = 0; walk < 2000 && failures == 0; ++walk) {
    const long double a = -Pi / 2 + static_cast<long double>(random() % 100000) / 25000;
    const long double step = 1.0L / static_cast<long double>(2 + random() % 500);
    const long double end = Accumulated(a, step, int(1 + random() % 2000));
    failures += CompareWalk(a, step, end, 4000);
  }
  EXPECT_EQ(failures, 0);
}

TEST(ArcAngle, EndsBeyondTheBinadeAndAtZero) {
  // Ends far above and below, and at both zeros, seen from angles of either sign.
  const long double ends[] = {0.0L, -0.0L, 1e-30L, -1e-30L, 10, -10, 0x1p-70L};
  const long double starts[] = {-3, -0.25L, -0x1p-30L, 0.0L, 0x1p-30L, 0.25L};
  int failures = 0;
  for (long double end : ends)
    for (long double a : starts) failures += CompareWalk(a, 1.0L / 97, end, 2000);
  EXPECT_EQ(failures, 0);
}

TEST(ArcAngle, StepsThatEndAtABinadeEdge) {
  // A negative angle one step above the bottom of its binade, a positive one
  // one step below its top, with steps a fraction of a unit past a whole
  // number: the sum lands within a unit of the edge, where the grid changes.
  int failures = 0;
  for (int e : {-3, 0, 1, 2})
    for (long double fraction : {0.125L, 0.375L, 0.5L, 0.625L, 0.875L})
      for (int64_t whole : {int64_t(1) << 20, int64_t(1) << 40, (int64_t(1) << 40) + 1}) {
        const long double unit = std::ldexp(1.0L, e - 63);
        const long double step = (static_cast<long double>(whole) + fraction) * unit;
        const long double edge = std::ldexp(1.0L, e);
        for (int64_t k : {int64_t(0), int64_t(1), int64_t(2)}) {
          const long double above = static_cast<long double>(whole + k) * unit;
          failures += CompareWalk(-(edge + above), step, 1, 4);
          failures += CompareWalk(2 * edge - above, step, 100, 4);
        }
      }
  EXPECT_EQ(failures, 0);
}
