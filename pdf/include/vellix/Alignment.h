#pragma once
// Alignment of text in a box or a cell, and of a grid on the page.

namespace Vellix {

// Horizontal placement.
enum TAlignment { taLeftJustify, taRightJustify, taCenter, taJustify };

// Vertical placement of a block of lines in its box (or of a text in a cell).
enum TVertAlignment { vaTop, vaBottom, vaCenter };

}  // namespace Vellix
