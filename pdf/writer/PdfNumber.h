#pragma once
// Decimal numbers as a PDF file carries them: at most three decimals (halves
// rounded away from zero, on the exact value of the argument), trailing zeros
// and a trailing point dropped, "." as separator whatever the locale, no
// exponent. 595.2755905511811 -> "595.276", 12 -> "12", -0.0004 -> "0".
// Not a number and infinities, which no PDF reader accepts, are written "0".

#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <string>

namespace Vellix {

// Appends the PDF form of aValue to aOut. This is the hot path of page content:
// no allocation beyond aOut's growth, no locale, no stdio for usual magnitudes.
// It decides in double precision unless the value's third decimal lies too
// near a rounding boundary for double to tell, and then in exact arithmetic.
void AppendPdfNumber(std::string& aOut, long double aValue);
// The same bytes, always decided in exact arithmetic on the extended value:
// the reference the double paths are checked against.
void AppendExactPdfNumber(std::string& aOut, long double aValue);

// AppendPdfNumber(aOut, aValue * aScale) with the product taken in extended
// precision, for whole lengths in a unit (coordinates, widths, page sizes):
// the same bytes, computed in double precision unless the third decimal of
// the product lies too near a rounding boundary for double to decide.
void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale);
// The same with aScale already converted to double (static_cast<double>),
// for callers that scale many lengths alike.
void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale, double aScaleAsDouble);

// ---- Writing into a character buffer ----
// The same texts written at aOut, which must have NumberRoom bytes free (the
// writers may fill all of them), returning the end of the text: for content
// writers that make room once for a whole line. A value of 2^117 or more,
// whose integer text may run to thousands of digits, is not written: the
// result is nullptr and the string forms above must be used.
inline constexpr size_t NumberRoom = 48;
inline char* PutPdfNumber(char* aOut, long double aValue);
inline char* PutScaledNumber(char* aOut, int64_t aValue, long double aScale, double aScaleAsDouble);
// The form of aA * aScale - aB * aFactor, both products and the difference
// taken in extended precision (a text baseline: a scaled y less the font's
// ascent at its size), decided in double precision unless too near a
// rounding boundary.
inline char* PutScaledDifference(char* aOut, int64_t aA, long double aScale, double aScaleAsDouble, int64_t aB,
                                 long double aFactor, double aFactorAsDouble);
// Never nullptr.
char* PutInteger(char* aOut, int64_t aValue);
// The same, quicker for 0 to 999: the text of a whole length in a unit of
// one point, the bytes PutScaledNumber gives for it with a scale of 1.
inline char* PutWholeNumber(char* aOut, int64_t aValue);

// The PDF form of aValue as a new string.
std::string FormatPdfNumber(long double aValue);

// aValue rounded to the nearest integer, an exact half to the even neighbour
// (the library's rule for every real-to-integer conversion); beyond the
// 32-bit range it saturates, and not a number gives 0.
int32_t RoundToInt32(long double aValue);

// Appends the decimal digits of an integer (with "-" when negative).
void AppendInteger(std::string& aOut, int64_t aValue);

// ---- The double-precision paths, inline for the content writers ----

namespace Detail {
// Short texts stored four bytes at once, and how many of them count: the
// whole parts "0" to "999" (a coordinate on a page takes one look-up) and
// the fractions ".ddd" without trailing zeros (empty for 0).
struct TShortText {
  char Text[4];
  uint32_t Length;
};
extern const std::array<TShortText, 1000> SmallWholeTexts, FractionTexts;
// The digits of a whole part from 1000 on.
char* PutLargeWhole(char* aOut, uint64_t aWhole);
inline char* PutShortText(char* aOut, const TShortText& aText) {
  std::memcpy(aOut, aText.Text, 4);
  return aOut + aText.Length;
}
// aThousandths / 1000 (with "-" when aNegative), not zero and below 2^64.
inline char* PutThousandths(char* aOut, bool aNegative, uint64_t aThousandths) {
  *aOut = '-';
  aOut += aNegative;
  const uint64_t whole = aThousandths / 1000;
  aOut = whole < 1000 ? PutShortText(aOut, SmallWholeTexts[whole]) : PutLargeWhole(aOut, whole);
  return PutShortText(aOut, FractionTexts[aThousandths - whole * 1000]);
}
// aValue decided in exact arithmetic; nullptr from 2^117 on.
char* PutExactPdfNumber(char* aOut, long double aValue);
inline char* PutZero(char* aOut) {
  *aOut = '0';
  return aOut + 1;
}
// Lengths (and the factors of a difference) up to 2^40 units: beyond, the
// double paths leave the decision to the exact one.
inline constexpr int64_t FastScaledLimit = int64_t(1) << 40;
}  // namespace Detail

inline char* PutScaledNumber(char* aOut, int64_t aValue, long double aScale, double aScaleAsDouble) {
  const double scale = aScaleAsDouble;
  if (aValue > Detail::FastScaledLimit || aValue < -Detail::FastScaledLimit || !(std::fabs(scale) <= 1e3))
    return Detail::PutExactPdfNumber(aOut, static_cast<long double>(aValue) * aScale);
  // The double product differs from the extended one by less than four
  // double roundings (about 2^-51 of its size); a fraction farther than
  // 2^-47 of the size from one half rounds the same way in both.
  const double thousandths = std::fabs(static_cast<double>(aValue) * scale * 1000.0);
  // Exact below 2^53 (from 2^48 on the margin passes one half and the exact
  // path decides); a signed conversion is a single instruction.
  const int64_t whole = static_cast<int64_t>(thousandths);
  const double fraction = thousandths - static_cast<double>(whole);
  const double margin = thousandths * 0x1p-47 + 0x1p-60;
  if (std::fabs(fraction - 0.5) <= margin)
    return Detail::PutExactPdfNumber(aOut, static_cast<long double>(aValue) * aScale);
  const uint64_t rounded = uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
  if (rounded == 0) return Detail::PutZero(aOut);
  return Detail::PutThousandths(aOut, (aValue < 0) != (scale < 0), rounded);
}

inline char* PutWholeNumber(char* aOut, int64_t aValue) {
  if (uint64_t(aValue) < 1000) return Detail::PutShortText(aOut, Detail::SmallWholeTexts[size_t(aValue)]);
  return PutInteger(aOut, aValue);
}

inline char* PutPdfNumber(char* aOut, long double aValue) {
  // Converting to double and multiplying by 1000 round twice, each time by
  // at most 2^-53 of the size; a fraction of a thousandth farther than 2^-50
  // of the size from one half rounds as the exact value does. Magnitudes
  // from 2^52 thousandths on, not-a-number and infinities take the exact
  // path (the comparison is false for the last two).
  const double thousandths = std::fabs(static_cast<double>(aValue)) * 1000.0;
  if (thousandths < 0x1p52) {
    const int64_t whole = static_cast<int64_t>(thousandths);  // below 2^52: exact
    const double fraction = thousandths - static_cast<double>(whole);  // exact
    if (std::fabs(fraction - 0.5) > thousandths * 0x1p-50) {
      const uint64_t rounded = uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
      if (rounded == 0) return Detail::PutZero(aOut);
      return Detail::PutThousandths(aOut, aValue < 0, rounded);
    }
  }
  return Detail::PutExactPdfNumber(aOut, aValue);
}

inline char* PutScaledDifference(char* aOut, int64_t aA, long double aScale, double aScaleAsDouble, int64_t aB,
                                 long double aFactor, double aFactorAsDouble) {
  // Against the extended result, the double one errs by the conversions of
  // the two factors, the two products and the difference, each at most 2^-53
  // of the larger of the products' sizes, and the extended roundings add
  // less than one more: below 2^-50 of that size, and 1000 times as much in
  // thousandths, plus the rounding of the multiplication by 1000. A fraction
  // farther than 2^-47 of the size from one half (eight times that) rounds
  // as the extended value does.
  constexpr int64_t limit = Detail::FastScaledLimit;
  if (aA > -limit && aA < limit && aB > -limit && aB < limit && std::fabs(aScaleAsDouble) <= 1e3 &&
      std::fabs(aFactorAsDouble) <= 1e3) {
    const double first = static_cast<double>(aA) * aScaleAsDouble, second = static_cast<double>(aB) * aFactorAsDouble;
    const double value = first - second;
    const double thousandths = std::fabs(value) * 1000.0;
    const double size = (std::fabs(first) + std::fabs(second)) * 1000.0;
    // Exact below 2^53; from 2^48 on the margin passes one half, and the
    // exact path decides.
    const int64_t whole = static_cast<int64_t>(thousandths);
    const double fraction = thousandths - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) > size * 0x1p-47 + 0x1p-60) {
      const uint64_t rounded = uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
      if (rounded == 0) return Detail::PutZero(aOut);
      return Detail::PutThousandths(aOut, value < 0, rounded);
    }
  }
  return Detail::PutExactPdfNumber(aOut, static_cast<long double>(aA) * aScale - static_cast<long double>(aB) * aFactor);
}

}  // namespace Vellix
