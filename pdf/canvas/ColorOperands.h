#pragma once
// The operands of the colour operators (rg, RG): "r g b " with each
// component c / 255 as a PDF number followed by a blank, "0 0.502 1 ".

#include <cstddef>

#include <vellix/Color.h>

namespace Vellix::Detail {

// The room PutColorOperands may fill.
inline constexpr size_t ColorOperandsRoom = 24;

// Writes the operands of aColor (a system colour as its RGB value) at aOut,
// which has ColorOperandsRoom bytes free, and returns their end.
char* PutColorOperands(char* aOut, TColor aColor);

}  // namespace Vellix::Detail
