#pragma once
// The style of one grid cell or table row, overriding what its column says:
// each field that holds a value replaces the column's (alignments) or the
// canvas font's (style) for that cell alone.

#include <optional>

#include <vellix/Alignment.h>
#include <vellix/Font.h>

namespace Vellix {

struct TCellStyle {
  std::optional<TAlignment> Alignment;
  std::optional<TVertAlignment> VertAlignment;
  std::optional<TFontStyles> FontStyle;
};

// What a text needs in a box: its lines and their height in the length unit
// (for a grid cell, with the cell's inner margin above and below).
struct TTextMeasure {
  int32_t Lines = 0;
  int32_t Height = 0;
};

}  // namespace Vellix
