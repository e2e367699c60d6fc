#pragma once
// TArcAngle: the angles of an arc's walk, its start, then each time the sum
// with the step rounded to extended precision, exactly as accumulating them
// in a long double gives them, but without the x87 unit in the loop: a long
// double kept across the calls of the walk goes through memory at every
// step, and that store and reload cost more than all the rest of the angle.
//
// The angle is held as the extended format's own parts, sign and exponent
// and 64-bit mantissa. Within one binade (the values of one exponent) adding
// the step adds the same whole number of mantissa units every time, the
// step's size in units rounded, so that a step is one integer addition. A
// step that would end outside the binade, and every step in a binade where
// the step's size lies exactly halfway between two whole units (the rounding
// then depends on the mantissa), is taken in extended precision, and the
// increment of the binade reached is worked out anew from the parts.
//
// Where long double is not the x87 extended format, the angle is a long
// double and each step its addition.

#include <cfloat>
#include <cstdint>

namespace Vellix::Detail {

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

class TArcAngle {
public:
  // Angles from aStart by steps of aStep (above zero) toward aEnd; all three
  // finite.
  TArcAngle(long double aStart, long double aStep, long double aEnd);

  // The next angle: this one plus the step, rounded to extended precision.
  void Advance() {
    if (FMantissa >= FFastLow && FMantissa <= FFastHigh) FMantissa += FIncrement;
    else Load(Extended() + FStep);
  }
  // Whether the angle is below the end.
  bool BeforeEnd() const { return FMantissa >= FBeforeLow && FMantissa <= FBeforeHigh; }
  // The angle as a long double, and rounded to double.
  long double Extended() const {
    const long double magnitude = static_cast<long double>(FMantissa) * FUnitExtended;
    return FNegative ? -magnitude : magnitude;
  }
  double Double() const;

private:
  // A finite value by its parts: (negative ? -1 : 1) * mantissa * 2^unit,
  // the mantissa's top bit set unless the value is zero or denormal.
  struct TParts {
    uint64_t Mantissa;
    int Unit;
    bool Negative;
    bool Normal() const { return (Mantissa >> 63) != 0; }
  };
  static TParts Split(long double aValue);
  // Takes aValue as the angle, with the rules of its binade.
  void Load(long double aValue);
  // The increment, and the mantissas that take it, of aAngle's binade.
  void LoadStep(const TParts& aAngle);
  // The mantissas of aAngle's binade that lie below the end.
  void LoadEnd(const TParts& aAngle);

  long double FStep, FEnd;
  TParts FStepParts, FEndParts;
  uint64_t FMantissa = 0;  // the angle is FMantissa units, negative when FNegative
  bool FNegative = false;
  // In the current binade: a mantissa in [FFastLow, FFastHigh] takes a step
  // by adding FIncrement (modulo 2^64: the mantissa of a negative angle
  // falls), and the angle is below the end while its mantissa lies in
  // [FBeforeLow, FBeforeHigh].
  uint64_t FIncrement = 0, FFastLow = 0, FFastHigh = 0, FBeforeLow = 0, FBeforeHigh = 0;
  long double FUnitExtended = 0;  // the mantissa's unit
  double FUnit = 0;               // the same, when a double holds it; else 0
};

#else

class TArcAngle {
public:
  TArcAngle(long double aStart, long double aStep, long double aEnd) : FAngle(aStart), FStep(aStep), FEnd(aEnd) {}
  void Advance() { FAngle += FStep; }
  bool BeforeEnd() const { return FAngle < FEnd; }
  long double Extended() const { return FAngle; }
  double Double() const { return static_cast<double>(FAngle); }

private:
  long double FAngle, FStep, FEnd;
};

#endif

}  // namespace Vellix::Detail
