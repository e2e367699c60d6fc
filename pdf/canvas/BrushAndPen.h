#pragma once
// The brush and pen lines written before a shape, inline in the shape
// writers: the shapes of a page mostly share their brush and pen, and then
// the lines kept for them are copied again without a call, where the call
// would make the shape keep its cursor in memory around it.

#include <string_view>

#include <vellix/Canvas.h>

#include "canvas/ContentLines.h"
#include "canvas/KeptLines.h"

namespace Vellix {

namespace Detail {
inline bool PaintsBackground(const TPaintKey& aKey) { return aKey.WantBackground && aKey.BrushStyle != bsClear; }
inline bool PaintsBorder(const TPaintKey& aKey) {
  return aKey.WantBorder && aKey.PenStyle != psClear && aKey.PenWidth > 0;
}
// "B", "S", "f", or empty when the shape paints nothing.
inline std::string_view PaintOperator(const TPaintKey& aKey) {
  if (PaintsBorder(aKey)) return PaintsBackground(aKey) ? "B" : "S";
  return PaintsBackground(aKey) ? "f" : "";
}
// What the brush and pen lines before a shape are written for.
inline TPaintKey PaintKey(const TPen& aPen, const TBrush& aBrush, bool aWantBorder, bool aWantBackground) {
  return TPaintKey{aPen.Color(), aPen.Style(), aPen.Width(), aBrush.Color(), aBrush.Style(), aWantBorder,
                   aWantBackground};
}
}  // namespace Detail

inline std::string_view TPdfCanvas::WriteBrushAndPen(Detail::TContentLines& aLines, bool aWantBorder,
                                                     bool aWantBackground) {
  // The key is made again where the lines are written anew: handed over, it
  // would be built in memory here for every shape.
  const Detail::TPaintKey key = Detail::PaintKey(FPen, FBrush, aWantBorder, aWantBackground);
  char* const start = aLines.Reserve(Detail::TKeptLines<Detail::TPaintKey>::Room);
  if (char* end = FKept->Paint.Replay(start, key)) {
    aLines.Advance(end);
    return Detail::PaintOperator(key);
  }
  return WriteNewBrushAndPen(aLines, aWantBorder, aWantBackground);
}

}  // namespace Vellix
