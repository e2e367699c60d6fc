#include "writer/PdfNumber.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace Vellix {

namespace {

using u128 = unsigned __int128;

// Splits a finite value into sign, 64-bit integer mantissa and binary
// exponent, value = mantissa * 2^exponent exactly.
bool Decompose(long double aValue, bool& aNegative, uint64_t& aMantissa, int& aExponent) {
#if LDBL_MANT_DIG == 64
  static_assert(sizeof(long double) >= 10);
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &aValue, sizeof bytes);
  uint16_t signExp;
  std::memcpy(&aMantissa, bytes, 8);
  std::memcpy(&signExp, bytes + 8, 2);
  const int biased = signExp & 0x7FFF;
  aNegative = (signExp & 0x8000) != 0;
  if (biased == 0x7FFF) return false;
  aExponent = (biased == 0 ? 1 : biased) - 16383 - 63;
  return true;
#else
  if (!std::isfinite(aValue)) return false;
  aNegative = std::signbit(aValue);
  int e = 0;
  const long double f = std::frexp(std::fabs(aValue), &e);
  constexpr int digits = LDBL_MANT_DIG < 64 ? LDBL_MANT_DIG : 64;
  aMantissa = uint64_t(std::ldexp(f, digits));
  aExponent = e - digits;
  return true;
#endif
}

// Integers from 2^117 on, far past any page coordinate: the C library prints
// them exactly. Kept out of line so the usual path has a small frame.
[[gnu::noinline]] void AppendHugeInteger(std::string& aOut, long double aValue) {
  char buffer[5000];
  std::snprintf(buffer, sizeof buffer, "%.0Lf", std::fabs(aValue));
  if (std::signbit(aValue)) aOut += '-';
  aOut += buffer;
}

// The decimal digits of a whole number up to 2^64.
inline int DigitCount(uint64_t aValue) {
  int count = 1;
  for (; aValue >= 10000; aValue /= 10000) count += 4;
  return count + (aValue >= 10) + (aValue >= 100) + (aValue >= 1000);
}

// "00" to "99": the whole part is written two digits at a time.
constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the digits of aValue, which has aCount of them, from aOut on, right
// to left; returns their end. Digits are stored where they belong rather
// than made elsewhere and copied: a wide copy over bytes just stored one by
// one waits for the stores to drain.
char* PutDigits(char* aOut, uint64_t aValue, int aCount) {
  char* const end = aOut + aCount;
  char* p = end;
  while (aValue >= 100) {
    const size_t pair = size_t(aValue % 100) * 2;
    aValue /= 100;
    p -= 2;
    std::memcpy(p, DigitPairs + pair, 2);
  }
  if (aValue >= 10) std::memcpy(p - 2, DigitPairs + size_t(aValue) * 2, 2);
  else p[-1] = char('0' + aValue);
  return end;
}

}  // namespace

// ".ddd" without trailing zeros for each fraction 1 to 999 (empty for 0).
constexpr std::array<Detail::TShortText, 1000> Detail::FractionTexts = [] {
  std::array<TShortText, 1000> texts{};
  for (unsigned f = 1; f < 1000; ++f) {
    texts[f] = {{'.', char('0' + f / 100), char('0' + f / 10 % 10), char('0' + f % 10)},
                f % 100 == 0 ? 2u : f % 10 == 0 ? 3u : 4u};
  }
  return texts;
}();

// "0" to "999".
constexpr std::array<Detail::TShortText, 1000> Detail::SmallWholeTexts = [] {
  std::array<TShortText, 1000> texts{};
  for (unsigned w = 0; w < 1000; ++w) {
    if (w >= 100) texts[w] = {{char('0' + w / 100), char('0' + w / 10 % 10), char('0' + w % 10), 0}, 3u};
    else if (w >= 10) texts[w] = {{char('0' + w / 10), char('0' + w % 10), 0, 0}, 2u};
    else texts[w] = {{char('0' + w), 0, 0, 0}, 1u};
  }
  return texts;
}();

char* Detail::PutLargeWhole(char* aOut, uint64_t aWhole) { return PutDigits(aOut, aWhole, DigitCount(aWhole)); }

char* Detail::PutExactPdfNumber(char* aOut, long double aValue) {
  bool negative = false;
  uint64_t mantissa = 0;
  int exponent = 0;
  if (!Decompose(aValue, negative, mantissa, exponent) || mantissa == 0) return Detail::PutZero(aOut);
  // Thousandths of the value, rounded half away from zero, computed exactly:
  // mantissa * 1000 needs at most 74 bits, so a 128-bit shift never loses
  // anything before the rounding decision.
  u128 thousandths;
  if (exponent >= 0) {
    if (exponent > 53) return nullptr;
    thousandths = (u128(mantissa) * 1000u) << exponent;
  } else {
    const int shift = -exponent;
    if (shift > 74) return Detail::PutZero(aOut);
    const u128 scaled = u128(mantissa) * 1000u;
    thousandths = scaled >> shift;
    const u128 rest = scaled - (thousandths << shift);
    if (rest >= (u128(1) << (shift - 1))) ++thousandths;
  }
  if (thousandths == 0) return Detail::PutZero(aOut);
  if (thousandths <= UINT64_MAX) return Detail::PutThousandths(aOut, negative, uint64_t(thousandths));
  // Up to 36 whole digits: still within NumberRoom with the fraction and the
  // sign. Rare enough to be made right to left and copied.
  char digits[40];
  char* const end = digits + sizeof digits;
  char* p = end;
  for (u128 whole = thousandths / 1000; whole != 0; whole /= 10) *--p = char('0' + int(whole % 10));
  *aOut = '-';
  aOut += negative;
  std::memcpy(aOut, p, size_t(end - p));
  return Detail::PutShortText(aOut + (end - p), Detail::FractionTexts[unsigned(thousandths % 1000)]);
}

namespace {

// Appends what aPut writes, or the huge integer aValue when aPut declines.
template <typename Put>
void AppendPut(std::string& aOut, long double aValue, Put aPut) {
  char text[NumberRoom];
  if (const char* end = aPut(text)) aOut.append(text, size_t(end - text));
  else AppendHugeInteger(aOut, aValue);
}

}  // namespace

char* PutInteger(char* aOut, int64_t aValue) {
  const uint64_t magnitude = aValue < 0 ? uint64_t(0) - uint64_t(aValue) : uint64_t(aValue);
  *aOut = '-';
  aOut += aValue < 0;
  return PutDigits(aOut, magnitude, DigitCount(magnitude));
}

void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale) {
  AppendScaledNumber(aOut, aValue, aScale, static_cast<double>(aScale));
}

void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale, double aScaleAsDouble) {
  AppendPut(aOut, static_cast<long double>(aValue) * aScale,
            [&](char* aText) { return PutScaledNumber(aText, aValue, aScale, aScaleAsDouble); });
}

void AppendInteger(std::string& aOut, int64_t aValue) {
  char text[NumberRoom];
  aOut.append(text, size_t(PutInteger(text, aValue) - text));
}

void AppendPdfNumber(std::string& aOut, long double aValue) {
  AppendPut(aOut, aValue, [&](char* aText) { return PutPdfNumber(aText, aValue); });
}

void AppendExactPdfNumber(std::string& aOut, long double aValue) {
  AppendPut(aOut, aValue, [&](char* aText) { return Detail::PutExactPdfNumber(aText, aValue); });
}

std::string FormatPdfNumber(long double aValue) {
  std::string result;
  AppendPdfNumber(result, aValue);
  return result;
}

int32_t RoundToInt32(long double aValue) {
  // rint rounds as nearbyint does in the default mode, which the library
  // never changes, without saving and restoring the floating-point state.
  const long double r = std::rint(aValue);
  if (!(r == r)) return 0;
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return int32_t(r);
}

}  // namespace Vellix
