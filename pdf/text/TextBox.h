#pragma once
// Text boxes: TPdfCanvas::DrawText lays a block of text out inside a
// rectangle, line by line (see PdfCanvas.h). This header holds the vertical
// alignment of the block; the horizontal one is the platform's TAlignment.

#include "platform/Alignment.h"

namespace Vellix {

// Vertical placement of a block of lines in its box (or of a text in a cell).
enum TVertAlignment { vaTop, vaBottom, vaCenter };

}  // namespace Vellix
