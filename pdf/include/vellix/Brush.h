#pragma once
// The brush that fills shapes: colour and style. Hatch styles are accepted;
// the PDF canvas fills them solid.

#include <vellix/Export.h>
#include <vellix/Color.h>

namespace Vellix {

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class VELLIX_API TBrush {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor aColor) { FColor = aColor; }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle aStyle) { FStyle = aStyle; }
  void Assign(const TBrush& aSource) { *this = aSource; }

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

}  // namespace Vellix
