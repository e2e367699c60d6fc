#pragma once
// The pen that outlines shapes: colour, line style and width. The canvas reads
// Width as a length in the document's length unit, not in pixels.

#include <vellix/Export.h>
#include <cstdint>

#include <vellix/Color.h>

namespace Vellix {

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class VELLIX_API TPen {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor aColor) { FColor = aColor; }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle aStyle) { FStyle = aStyle; }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t aWidth) { FWidth = aWidth; }
  void Assign(const TPen& aSource) { *this = aSource; }

private:
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  int32_t FWidth = 1;
};

}  // namespace Vellix
