#pragma once
// The standard paper sizes, indexed by the platform's paper-size code (0 to
// 41). Entry 0 is the custom size. Sizes are portrait width and height in
// tenths of a millimetre. Some names occur twice ("B4", "B5") and a few
// entries are wider than high; the rows are kept as the printer drivers have them.

#include <vellix/Export.h>
#include <array>
#include <cstdint>

namespace Vellix {

inline constexpr int32_t PaperSizeCount = 42;

struct VELLIX_API TPaperSize {
  int32_t Width;
  int32_t Height;
};

VELLIX_API extern const std::array<const char*, PaperSizeCount> PaperSizeNames;
VELLIX_API extern const std::array<TPaperSize, PaperSizeCount> PaperSizes;

}  // namespace Vellix
