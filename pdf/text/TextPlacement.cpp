#include "text/TextPlacement.h"

#include <vellix/PageBuffer.h>

#include "canvas/ContentLines.h"
#include "writer/PdfNumber.h"

namespace Vellix {

namespace {

void AppendNumber(std::string& aOut, long double aValue) {
  AppendPdfNumber(aOut, aValue);
  aOut += ' ';
}

}  // namespace

char* PutTextPosition(Detail::TContentLines& aLines, char* aCursor, const TTextPlacement& aAt) {
  using Detail::TContentLines;
  char* p = aCursor;
  if (aAt.Rotated) {
    for (const long double v : {aAt.Cosine, aAt.Sine, -aAt.Sine, aAt.Cosine, aAt.X, aAt.Y}) {
      p = aLines.PutNumber(p, v);
      *p++ = ' ';
    }
    p = TContentLines::Put(p, "Tm");
  } else {
    p = aLines.PutNumber(p, aAt.X);
    *p++ = ' ';
    p = TContentLines::Put(aLines.PutNumber(p, aAt.Y), " Td");
  }
  return aLines.PutLineEnd(p);
}

void AddTextPosition(TPageBuffer& aOut, const TTextPlacement& aAt) {
  constexpr size_t room = 6 * NumberRoom + 16;
  Detail::TContentLines lines(aOut, room);
  lines.Advance(PutTextPosition(lines, lines.Reserve(room), aAt));
}

void AddUnderline(TPageBuffer& aOut, long double aPosition, long double aThickness, const std::string& aColor,
                  const TTextPlacement& aAt, long double aWidth) {
  const long double x1 = aAt.X - aAt.Sine * aPosition, y1 = aAt.Y + aAt.Cosine * aPosition;
  const long double x2 = x1 + aAt.Cosine * aWidth, y2 = y1 + aAt.Sine * aWidth;
  std::string* line = &aOut.OpenLine();
  *line += aColor;
  *line += "RG";
  aOut.CloseLine();
  aOut.push_back("[]0 d");
  line = &aOut.OpenLine();
  AppendNumber(*line, aThickness);
  *line += 'w';
  aOut.CloseLine();
  line = &aOut.OpenLine();
  AppendNumber(*line, x1);
  AppendNumber(*line, y1);
  *line += "m ";
  AppendNumber(*line, x2);
  AppendNumber(*line, y2);
  *line += "l S";
  aOut.CloseLine();
}

}  // namespace Vellix
