#include "writer/PdfNumber.h"

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

void AppendUnsigned(std::string& aOut, uint64_t aValue) {
  char digits[20];
  char* p = digits + sizeof digits;
  do {
    *--p = char('0' + aValue % 10);
    aValue /= 10;
  } while (aValue != 0);
  aOut.append(p, size_t(digits + sizeof digits - p));
}

// Integers beyond 2^116, far past any page coordinate: the C library prints
// them exactly. Kept out of line so the usual path has a small frame.
[[gnu::noinline]] void AppendHugeInteger(std::string& aOut, long double aValue) {
  char buffer[5000];
  std::snprintf(buffer, sizeof buffer, "%.0Lf", std::fabs(aValue));
  if (std::signbit(aValue)) aOut += '-';
  aOut += buffer;
}

// Writes ".ddd" without trailing zeros, right to left, before aCursor.
inline void PutFraction(char*& aCursor, unsigned aFraction) {
  if (aFraction == 0) return;
  const char d1 = char('0' + aFraction / 100), d2 = char('0' + aFraction / 10 % 10), d3 = char('0' + aFraction % 10);
  if (d3 != '0') {
    *--aCursor = d3;
    *--aCursor = d2;
  } else if (d2 != '0') {
    *--aCursor = d2;
  }
  *--aCursor = d1;
  *--aCursor = '.';
}

// "00" to "99": the whole part is written two digits at a time.
constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Appends the number aThousandths / 1000 (with "-" when aNegative), which
// is not zero.
void AppendThousandths(std::string& aOut, bool aNegative, uint64_t aThousandths) {
  char buffer[32];
  char* const end = buffer + sizeof buffer;
  char* p = end;
  PutFraction(p, unsigned(aThousandths % 1000));
  uint64_t whole = aThousandths / 1000;
  while (whole >= 100) {
    const size_t pair = size_t(whole % 100) * 2;
    whole /= 100;
    p -= 2;
    std::memcpy(p, DigitPairs + pair, 2);
  }
  if (whole >= 10) {
    p -= 2;
    std::memcpy(p, DigitPairs + size_t(whole) * 2, 2);
  } else {
    *--p = char('0' + whole);
  }
  if (aNegative) *--p = '-';
  aOut.append(p, size_t(end - p));
}

// Lengths up to 2^40 units keep the double product below 2^53 thousandths.
constexpr int64_t FastScaledLimit = int64_t(1) << 40;

}  // namespace

void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale) {
  AppendScaledNumber(aOut, aValue, aScale, static_cast<double>(aScale));
}

void AppendScaledNumber(std::string& aOut, int64_t aValue, long double aScale, double aScaleAsDouble) {
  const double scale = aScaleAsDouble;
  if (aValue > FastScaledLimit || aValue < -FastScaledLimit || !(std::fabs(scale) <= 1e3)) {
    AppendExactPdfNumber(aOut, static_cast<long double>(aValue) * aScale);
    return;
  }
  // The double product differs from the extended one by less than four
  // double roundings (about 2^-51 of its size); a fraction farther than
  // 2^-47 of the size from one half rounds the same way in both.
  const double thousandths = std::fabs(static_cast<double>(aValue) * scale * 1000.0);
  const uint64_t whole = static_cast<uint64_t>(thousandths);  // below 2^53: exact
  const double fraction = thousandths - static_cast<double>(whole);
  const double margin = thousandths * 0x1p-47 + 0x1p-60;
  if (std::fabs(fraction - 0.5) <= margin) {
    AppendExactPdfNumber(aOut, static_cast<long double>(aValue) * aScale);
    return;
  }
  const uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);
  if (rounded == 0) {
    aOut += '0';
    return;
  }
  AppendThousandths(aOut, (aValue < 0) != (scale < 0), rounded);
}

void AppendInteger(std::string& aOut, int64_t aValue) {
  if (aValue < 0) {
    aOut += '-';
    AppendUnsigned(aOut, uint64_t(0) - uint64_t(aValue));
  } else {
    AppendUnsigned(aOut, uint64_t(aValue));
  }
}

void AppendPdfNumber(std::string& aOut, long double aValue) {
  // Converting to double and multiplying by 1000 round twice, each time by
  // at most 2^-53 of the size; a fraction of a thousandth farther than 2^-50
  // of the size from one half rounds as the exact value does. Magnitudes
  // from 2^52 thousandths on, not-a-number and infinities take the exact
  // path (the comparison is false for the last two).
  const double thousandths = std::fabs(static_cast<double>(aValue)) * 1000.0;
  if (thousandths < 0x1p52) {
    const uint64_t whole = static_cast<uint64_t>(thousandths);
    const double fraction = thousandths - static_cast<double>(whole);  // exact
    if (std::fabs(fraction - 0.5) > thousandths * 0x1p-50) {
      const uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);
      if (rounded == 0) aOut += '0';
      else AppendThousandths(aOut, aValue < 0, rounded);
      return;
    }
  }
  AppendExactPdfNumber(aOut, aValue);
}

void AppendExactPdfNumber(std::string& aOut, long double aValue) {
  bool negative = false;
  uint64_t mantissa = 0;
  int exponent = 0;
  if (!Decompose(aValue, negative, mantissa, exponent) || mantissa == 0) {
    aOut += '0';
    return;
  }
  // Thousandths of the value, rounded half away from zero, computed exactly:
  // mantissa * 1000 needs at most 74 bits, so a 128-bit shift never loses
  // anything before the rounding decision.
  u128 thousandths;
  if (exponent >= 0) {
    if (exponent > 53) {
      AppendHugeInteger(aOut, aValue);
      return;
    }
    thousandths = (u128(mantissa) * 1000u) << exponent;
  } else {
    const int shift = -exponent;
    if (shift > 74) {
      aOut += '0';
      return;
    }
    const u128 scaled = u128(mantissa) * 1000u;
    thousandths = scaled >> shift;
    const u128 rest = scaled - (thousandths << shift);
    if (rest >= (u128(1) << (shift - 1))) ++thousandths;
  }
  if (thousandths == 0) {
    aOut += '0';
    return;
  }
  // Digits are placed from the right into a local buffer and appended at once.
  char buffer[48];
  char* const end = buffer + sizeof buffer;
  char* p = end;
  unsigned fraction;
  if (thousandths <= UINT64_MAX) {
    uint64_t t = uint64_t(thousandths);
    fraction = unsigned(t % 1000);
    t /= 1000;
    PutFraction(p, fraction);
    do {
      *--p = char('0' + t % 10);
      t /= 10;
    } while (t != 0);
  } else {
    u128 t = thousandths;
    fraction = unsigned(t % 1000);
    t /= 1000;
    PutFraction(p, fraction);
    do {
      *--p = char('0' + int(t % 10));
      t /= 10;
    } while (t != 0);
  }
  if (negative) *--p = '-';
  aOut.append(p, size_t(end - p));
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
