#pragma once
// Decimal numbers as a PDF file carries them: at most three decimals (halves
// rounded away from zero, on the exact value of the argument), trailing zeros
// and a trailing point dropped, "." as separator whatever the locale, no
// exponent. 595.2755905511811 -> "595.276", 12 -> "12", -0.0004 -> "0".
// Not a number and infinities, which no PDF reader accepts, are written "0".

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

// The PDF form of aValue as a new string.
std::string FormatPdfNumber(long double aValue);

// aValue rounded to the nearest integer, an exact half to the even neighbour
// (the library's rule for every real-to-integer conversion); beyond the
// 32-bit range it saturates, and not a number gives 0.
int32_t RoundToInt32(long double aValue);

// Appends the decimal digits of an integer (with "-" when negative).
void AppendInteger(std::string& aOut, int64_t aValue);

}  // namespace Vellix
