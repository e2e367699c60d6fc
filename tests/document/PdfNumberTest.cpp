// The PDF number format against exact decimal rounding.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>
#include <vector>

#include "writer/PdfNumber.h"
#include <vellix/Document.h>

using namespace Vellix;

namespace {

// The reference: the exact decimal expansion of the extended value (glibc
// prints it exactly), rounded to three decimals, halves away from zero.
std::string ExactReference(long double aValue) {
  char buffer[6000];
  std::snprintf(buffer, sizeof buffer, "%.80Lf", std::fabs(aValue));
  std::string digits = buffer;
  const size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  std::string fraction = digits.substr(point + 1, 3);
  const std::string rest = digits.substr(point + 4);
  bool up = rest[0] >= '5';
  std::string number = whole + fraction;
  if (up) {
    int i = int(number.size()) - 1;
    while (i >= 0 && number[size_t(i)] == '9') number[size_t(i--)] = '0';
    if (i < 0) number.insert(number.begin(), '1');
    else ++number[size_t(i)];
  }
  whole = number.substr(0, number.size() - 3);
  fraction = number.substr(number.size() - 3);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  const size_t nonzero = whole.find_first_not_of('0');
  whole = nonzero == std::string::npos ? "0" : whole.substr(nonzero);
  std::string result = whole;
  if (!fraction.empty()) result += "." + fraction;
  if (result != "0" && std::signbit(aValue)) result = "-" + result;
  return result;
}

}  // namespace

TEST(PdfNumber, Examples) {
  EXPECT_EQ(FormatPdfNumber(595.2755905511811L), "595.276");
  EXPECT_EQ(FormatPdfNumber(841.8897637795276L), "841.89");
  EXPECT_EQ(FormatPdfNumber(42.52L), "42.52");
  EXPECT_EQ(FormatPdfNumber(12), "12");
  EXPECT_EQ(FormatPdfNumber(0.70710678L), "0.707");
  EXPECT_EQ(FormatPdfNumber(0.0004L), "0");
  EXPECT_EQ(FormatPdfNumber(-3.5L), "-3.5");
  EXPECT_EQ(FormatPdfNumber(1000000), "1000000");
  EXPECT_EQ(FormatPdfNumber(0), "0");
  EXPECT_EQ(FormatPdfNumber(-0.0L), "0");
  EXPECT_EQ(FormatPdfNumber(-0.0004L), "0");
  EXPECT_EQ(FormatPdfNumber(0.0005L), ExactReference(0.0005L));  // not exactly a half in binary
  EXPECT_EQ(FormatPdfNumber(0.0015L), ExactReference(0.0015L));
  EXPECT_EQ(FormatPdfNumber(0.5L), "0.5");
  EXPECT_EQ(FormatPdfNumber(2.0625L), "2.063");  // an exact half: away from zero
  EXPECT_EQ(FormatPdfNumber(-2.0625L), "-2.063");
  EXPECT_EQ(FormatPdfNumber(9.9995L), ExactReference(9.9995L));
  EXPECT_EQ(FormatPdfNumber(999.9999L), "1000");
  EXPECT_EQ(FormatPdfNumber(128 / 255.0L), "0.502");
  EXPECT_EQ(FormatPdfNumber(4 * 72.0L / 254.0L), "1.134");
  EXPECT_EQ(FormatPdfNumber(1e30L), ExactReference(1e30L));
  EXPECT_EQ(FormatPdfNumber(1e30L).size(), 31u);
  EXPECT_EQ(FormatPdfNumber(-2147483648.0L), "-2147483648");
  EXPECT_EQ(FormatPdfNumber(NAN), "0");
  EXPECT_EQ(FormatPdfNumber(INFINITY), "0");
  EXPECT_EQ(FormatPdfNumber(1.5L), "1.5");
  std::string out = "x ";
  AppendPdfNumber(out, 0.25L);
  EXPECT_EQ(out, "x 0.25");
}

TEST(PdfNumber, RandomValuesMatchExactRounding) {
  std::mt19937_64 random(20240102);
  std::uniform_int_distribution<int32_t> coordinate(-100000, 100000);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 20000; ++i) {
    // Coordinates as the canvas makes them, and arbitrary magnitudes.
    const long double a = coordinate(random) * (72.0L / 254.0L);
    const long double b = static_cast<long double>(unit(random)) * std::pow(10.0L, int(random() % 14) - 4);
    const long double c = coordinate(random) / 1000.0L + 0.0005L;  // near halves
    const long double d = std::ldexp(static_cast<long double>(random() >> 11), -int(random() % 80));
    for (long double v : {a, b, c, d, -d}) ASSERT_EQ(FormatPdfNumber(v), ExactReference(v)) << (double)v;
  }
}

TEST(PdfNumber, Integers) {
  std::string out;
  AppendInteger(out, 0);
  out += ' ';
  AppendInteger(out, -42);
  out += ' ';
  AppendInteger(out, INT64_MIN);
  EXPECT_EQ(out, "0 -42 -9223372036854775808");
}

// Whole lengths in points are written without the scaled paths: the same
// bytes as a scale of 1 gives, at both ends of the table and of the range.
TEST(PdfNumber, WholePointLengthsMatchTheScaledForm) {
  std::mt19937_64 random(3);
  std::uniform_int_distribution<int64_t> near(-3000, 3000), any(INT64_MIN, INT64_MAX);
  std::vector<int64_t> values = {0, 1, 999, 1000, -1, -999, -1000, INT64_MIN, INT64_MAX, int64_t(1) << 40,
                                 -(int64_t(1) << 40) - 1};
  for (int i = 0; i < 100000; ++i) values.push_back(i % 2 ? near(random) : any(random));
  char whole[NumberRoom], scaled[NumberRoom];
  for (const int64_t v : values) {
    const std::string_view expected(scaled, size_t(PutScaledNumber(scaled, v, 1.0L, 1.0) - scaled));
    ASSERT_EQ(std::string_view(whole, size_t(PutWholeNumber(whole, v) - whole)), expected) << v;
  }
}

namespace {

// The count of values each differential test compares: 10^6 in the ordinary
// run, any count through VELLIX_DIFFERENTIAL_COUNT (10^8 for the full proof).
uint64_t DifferentialCount() {
  const char* count = std::getenv("VELLIX_DIFFERENTIAL_COUNT");
  return count != nullptr && *count != '\0' ? std::strtoull(count, nullptr, 10) : 1000000;
}

// AppendPdfNumber against the exact path, for values drawn by aNext.
template <typename Next>
void ExpectMatchesExact(Next aNext) {
  std::string fast, reference;
  for (uint64_t i = 0, n = DifferentialCount(); i < n; ++i) {
    const long double v = aNext();
    fast.clear();
    reference.clear();
    AppendPdfNumber(fast, v);
    AppendExactPdfNumber(reference, v);
    ASSERT_EQ(fast, reference) << static_cast<double>(v);
  }
}

// AppendScaledNumber against the extended product formatted exactly, for
// values drawn by aNext.
template <typename Next>
void ExpectScaledMatches(long double aScale, Next aNext) {
  std::string fast, reference;
  for (uint64_t i = 0, n = DifferentialCount(); i < n; ++i) {
    const int64_t v = aNext();
    fast.clear();
    reference.clear();
    AppendScaledNumber(fast, v, aScale);
    AppendExactPdfNumber(reference, static_cast<long double>(v) * aScale);
    ASSERT_EQ(fast, reference) << v << " * " << static_cast<double>(aScale);
  }
}

}  // namespace

TEST(PdfNumber, ScaledLengthsMatchTheExtendedProduct) {
  std::mt19937_64 random(7);
  const long double tenths = 72.0L / 254.0L;
  // Coordinates and page heights in tenths of a millimetre and in points,
  // over the whole 32-bit range and over page-sized values.
  std::uniform_int_distribution<int64_t> any(INT32_MIN, INT32_MAX), page(-20000, 20000);
  ExpectScaledMatches(tenths, [&] { return any(random); });
  ExpectScaledMatches(tenths, [&] { return page(random); });
  ExpectScaledMatches(1.0L, [&] { return any(random); });
  // Pen widths: small positive lengths.
  std::uniform_int_distribution<int64_t> pen(0, 2000);
  ExpectScaledMatches(tenths, [&] { return pen(random); });
  // Beyond the double path's range, and a scale whose products often fall
  // on exact halves of a thousandth (1/16 = 62.5 thousandths).
  std::uniform_int_distribution<int64_t> huge(INT64_MIN / 4, INT64_MAX / 4);
  ExpectScaledMatches(tenths, [&] { return huge(random); });
  ExpectScaledMatches(1.0L / 16, [&] { return page(random); });
}

TEST(PdfNumber, ValuesMatchTheExactPath) {
  std::mt19937_64 random(11);
  const long double tenths = 72.0L / 254.0L;
  std::uniform_int_distribution<int64_t> page(-20000, 20000), ascent(500, 1200), size(1, 96);
  // Text positions as the canvas makes them: a scaled y less the font's
  // ascent at its size.
  ExpectMatchesExact([&] { return page(random) * tenths - size(random) * (ascent(random) / 1000.0L); });
  // Any magnitude, from far below a thousandth to beyond the double path.
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  ExpectMatchesExact([&] { return static_cast<long double>(unit(random)) * std::pow(10.0L, int(random() % 22) - 6); });
  // Near and on halves of a thousandth: exact binary halves (k / 16) and
  // values a few units of the last place beside decimal halves.
  std::uniform_int_distribution<int64_t> count(-1000000, 1000000), ulps(-4, 4);
  ExpectMatchesExact([&] { return count(random) / 16.0L; });
  ExpectMatchesExact([&] {
    const long double half = (count(random) + 0.5L) / 1000.0L;
    return half + ulps(random) * std::ldexp(1.0L, std::ilogb(half) - 52);
  });
  // Every bit pattern of the extended mantissa at small and large exponents.
  ExpectMatchesExact([&] { return std::ldexp(static_cast<long double>(random()), -int(random() % 90)); });
}

// Text baselines, a scaled y less the ascent at the font size, decided in
// double precision against the extended expression formatted exactly.
TEST(PdfNumber, TextBaselinesMatchTheExtendedExpression) {
  std::mt19937_64 random(13);
  std::uniform_int_distribution<int64_t> page(-20000, 20000), any(-(int64_t(1) << 33), int64_t(1) << 33);
  std::uniform_int_distribution<int64_t> size(-200, 2000), ascender(0, 3000), em(1000, 4096);
  std::uniform_real_distribution<double> unit(0.0, 1.5);
  // Ascents as fonts give them (ascender * 1000 / em / 1000), and with an
  // arbitrary extended mantissa.
  const auto ascent = [&] {
    if (random() % 2 == 0) return static_cast<long double>(ascender(random)) * (1000.0L / em(random)) / 1000;
    return std::ldexp(static_cast<long double>(random() | (uint64_t(1) << 63)), -64) * unit(random);
  };
  std::string fast, reference;
  for (const long double scale : {72.0L / 254.0L, 1.0L}) {
    for (uint64_t i = 0, n = DifferentialCount(); i < n; ++i) {
      const int64_t a = i % 4 == 0 ? any(random) : page(random), b = size(random) | 1;
      long double factor = ascent();
      if (i % 4 == 1) {
        // An ascent that puts the baseline on a half of a thousandth, give or
        // take the roundings.
        const long double half = (std::floor(static_cast<long double>(a) * scale * 1000) + 0.5L) / 1000;
        factor = (static_cast<long double>(a) * scale - half) / static_cast<long double>(b);
      }
      char text[NumberRoom];
      fast.assign(text, PutScaledDifference(text, a, scale, static_cast<double>(scale), b, factor,
                                            static_cast<double>(factor)));
      reference.clear();
      AppendExactPdfNumber(reference, static_cast<long double>(a) * scale - static_cast<long double>(b) * factor);
      ASSERT_EQ(fast, reference) << a << " * " << static_cast<double>(scale) << " - " << b << " * "
                                 << static_cast<double>(factor);
    }
  }
}
