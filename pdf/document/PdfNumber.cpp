#include "document/PdfNumber.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

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
  int n = 0;
  do {
    digits[n++] = char('0' + aValue % 10);
    aValue /= 10;
  } while (aValue != 0);
  while (n > 0) aOut += digits[--n];
}

void AppendUnsigned128(std::string& aOut, u128 aValue) {
  if (aValue <= UINT64_MAX) {
    AppendUnsigned(aOut, uint64_t(aValue));
    return;
  }
  char digits[40];
  int n = 0;
  while (aValue != 0) {
    digits[n++] = char('0' + int(aValue % 10));
    aValue /= 10;
  }
  while (n > 0) aOut += digits[--n];
}

}  // namespace

void AppendInteger(std::string& aOut, int64_t aValue) {
  if (aValue < 0) {
    aOut += '-';
    AppendUnsigned(aOut, uint64_t(0) - uint64_t(aValue));
  } else {
    AppendUnsigned(aOut, uint64_t(aValue));
  }
}

void AppendPdfNumber(std::string& aOut, long double aValue) {
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
      // Beyond 2^116 the value is an integer far past any page coordinate;
      // the C library prints integers exactly.
      char buffer[5000];
      std::snprintf(buffer, sizeof buffer, "%.0Lf", std::fabs(aValue));
      if (negative) aOut += '-';
      aOut += buffer;
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
  if (negative) aOut += '-';
  unsigned fraction;
  if (thousandths <= UINT64_MAX) {
    const uint64_t t = uint64_t(thousandths);
    AppendUnsigned(aOut, t / 1000);
    fraction = unsigned(t % 1000);
  } else {
    AppendUnsigned128(aOut, thousandths / 1000);
    fraction = unsigned(thousandths % 1000);
  }
  if (fraction != 0) {
    const char d1 = char('0' + fraction / 100), d2 = char('0' + fraction / 10 % 10), d3 = char('0' + fraction % 10);
    aOut += '.';
    aOut += d1;
    if (d3 != '0') {
      aOut += d2;
      aOut += d3;
    } else if (d2 != '0') {
      aOut += d2;
    }
  }
}

std::string FormatPdfNumber(long double aValue) {
  std::string result;
  AppendPdfNumber(result, aValue);
  return result;
}

}  // namespace Vellix
