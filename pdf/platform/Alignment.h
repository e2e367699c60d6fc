#pragma once
// Horizontal alignment of text in a box or a cell, and of a grid on the page.

namespace Vellix {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace Vellix
