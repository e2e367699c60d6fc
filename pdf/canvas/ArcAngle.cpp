#include "canvas/ArcAngle.h"

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

#include <cmath>
#include <cstring>

namespace Vellix::Detail {

namespace {
constexpr uint64_t AllMantissas = UINT64_MAX;
constexpr uint64_t TopBit = uint64_t(1) << 63;
constexpr int ExponentBias = 16383;

// 2^aUnit as a long double, built from its parts where it is normal.
long double ExtendedPower(int aUnit) {
  const int biased = aUnit + ExponentBias;
  if (biased < 1 || biased > 0x7ffe) return std::ldexp(1.0L, aUnit);
  long double power = 0;
  const uint64_t mantissa = TopBit;
  const uint16_t signAndExponent = uint16_t(biased);
  std::memcpy(&power, &mantissa, 8);
  std::memcpy(reinterpret_cast<char*>(&power) + 8, &signAndExponent, 2);
  return power;
}

// 2^aUnit as a double, or 0 where a normal double cannot hold it.
double DoublePower(int aUnit) {
  if (aUnit < -1022 || aUnit > 1023) return 0;
  const uint64_t bits = uint64_t(aUnit + 1023) << 52;
  double power = 0;
  std::memcpy(&power, &bits, 8);
  return power;
}

void SetRange(uint64_t& aLow, uint64_t& aHigh, bool aAll) {
  aLow = aAll ? 0 : AllMantissas;
  aHigh = aAll ? AllMantissas : 0;
}
}  // namespace

TArcAngle::TArcAngle(long double aStart, long double aStep, long double aEnd)
    : FStep(aStep), FEnd(aEnd), FStepParts(Split(aStep)), FEndParts(Split(aEnd)) {
  Load(aStart);
}

TArcAngle::TParts TArcAngle::Split(long double aValue) {
  // The x87 format: the 64-bit mantissa with its integer bit, then the sign
  // and the 15-bit biased exponent.
  uint64_t mantissa = 0;
  uint16_t signAndExponent = 0;
  std::memcpy(&mantissa, &aValue, 8);
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&aValue) + 8, 2);
  const int biased = signAndExponent & 0x7fff;
  return TParts{mantissa, (biased == 0 ? 1 : biased) - ExponentBias - 63, (signAndExponent >> 15) != 0};
}

double TArcAngle::Double() const {
  if (FUnit == 0) return static_cast<double>(Extended());
  // The conversion rounds the mantissa to 53 bits; the unit, a power of two
  // within the double range, scales it exactly.
  const double magnitude = static_cast<double>(FMantissa) * FUnit;
  return FNegative ? -magnitude : magnitude;
}

void TArcAngle::Load(long double aValue) {
  const TParts angle = Split(aValue);
  FMantissa = angle.Mantissa;
  FNegative = angle.Negative;
  FUnitExtended = ExtendedPower(angle.Unit);
  FUnit = DoublePower(angle.Unit);
  // Until shown otherwise, every step is taken in extended precision.
  FIncrement = 0;
  SetRange(FFastLow, FFastHigh, false);
  if (angle.Normal() && FStepParts.Normal()) LoadStep(angle);
  if (angle.Normal() && (FEndParts.Normal() || FEndParts.Mantissa == 0)) LoadEnd(angle);
  else SetRange(FBeforeLow, FBeforeHigh, aValue < FEnd);  // no step is taken from here in integers
}

void TArcAngle::LoadStep(const TParts& aAngle) {
  // The step is the mantissa of the step shifted right by `shift` units:
  // a whole number unless bits fall off, rounded to nearest.
  const int shift = aAngle.Unit - FStepParts.Unit;
  if (shift < 1 || shift > 63) return;  // a step of 2^63 units or more, or of under one unit
  const uint64_t dropped = FStepParts.Mantissa & ((uint64_t(1) << shift) - 1);
  const uint64_t half = uint64_t(1) << (shift - 1);
  if (dropped == half) return;  // halfway: the rounding follows the mantissa
  const uint64_t increment = (FStepParts.Mantissa >> shift) + (dropped > half ? 1 : 0);
  if (increment >= (uint64_t(1) << 62)) return;  // so that the bounds below cannot wrap
  if (aAngle.Negative) {
    // The mantissa falls; the exact sum must keep at least 2^63 units, or it
    // would be rounded on the finer grid of the binade below.
    FIncrement = uint64_t(0) - increment;
    FFastLow = TopBit + increment + 1;
    FFastHigh = AllMantissas;
  } else {
    // The mantissa rises; a sum of 2^64 units or more belongs to the binade
    // above.
    FIncrement = increment;
    FFastLow = 0;
    FFastHigh = AllMantissas - increment;
  }
}

void TArcAngle::LoadEnd(const TParts& aAngle) {
  const TParts& end = FEndParts;
  const bool endIsZero = end.Mantissa == 0;
  // The end in units of the binade is end.Mantissa * 2^shift.
  const int shift = end.Unit - aAngle.Unit;
  if (!aAngle.Negative) {
    // Below the end: mantissa < end, for an end above zero.
    if (endIsZero || end.Negative) return SetRange(FBeforeLow, FBeforeHigh, false);
    if (shift >= 1) return SetRange(FBeforeLow, FBeforeHigh, true);
    if (shift <= -64) return SetRange(FBeforeLow, FBeforeHigh, false);
    const int right = -shift;
    const uint64_t whole = right == 0 ? end.Mantissa : end.Mantissa >> right;
    const bool fraction = right != 0 && (end.Mantissa & ((uint64_t(1) << right) - 1)) != 0;
    // mantissa < whole + fraction, i.e. at most whole - 1, or whole with a fraction.
    FBeforeLow = 0;
    FBeforeHigh = fraction ? whole : whole - 1;
  } else {
    // Below the end: -mantissa < end, so mantissa > -end, for an end below zero.
    if (endIsZero || !end.Negative) return SetRange(FBeforeLow, FBeforeHigh, true);
    if (shift >= 1) return SetRange(FBeforeLow, FBeforeHigh, false);
    const uint64_t whole = shift <= -64 ? 0 : shift == 0 ? end.Mantissa : end.Mantissa >> -shift;
    if (whole == AllMantissas) return SetRange(FBeforeLow, FBeforeHigh, false);
    // mantissa > whole + fraction, i.e. at least whole + 1.
    FBeforeLow = whole + 1;
    FBeforeHigh = AllMantissas;
  }
}

}  // namespace Vellix::Detail

#endif
