#include "text/TextPlacement.h"

#include <vellix/PageBuffer.h>

#include "writer/PdfNumber.h"

namespace Vellix {

namespace {

void AppendNumber(std::string& aOut, long double aValue) {
  AppendPdfNumber(aOut, aValue);
  aOut += ' ';
}

}  // namespace

void AddTextPosition(TPageBuffer& aOut, const TTextPlacement& aAt) {
  std::string* line = &aOut.OpenLine();
  if (aAt.Rotated) {
    AppendNumber(*line, aAt.Cosine);
    AppendNumber(*line, aAt.Sine);
    AppendNumber(*line, -aAt.Sine);
    AppendNumber(*line, aAt.Cosine);
    AppendNumber(*line, aAt.X);
    AppendNumber(*line, aAt.Y);
    *line += "Tm";
  } else {
    AppendNumber(*line, aAt.X);
    AppendNumber(*line, aAt.Y);
    *line += "Td";
  }
  aOut.CloseLine();
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
