#include "navigation/Target.h"

#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

std::string DestinationText(const TNavTarget& aTarget, const std::deque<int32_t>& aPageObjNos) {
  std::string text;
  if (aTarget.Named()) {
    text += '(';
    AppendEscaped(text, aTarget.Name);
    text += ')';
    return text;
  }
  text += '[';
  text += Ref(aPageObjNos.at(size_t(aTarget.Page) - 1));
  text += " /XYZ ";
  if (aTarget.Left)
    AppendPdfNumber(text, *aTarget.Left);
  else
    text += "null";
  text += ' ';
  AppendPdfNumber(text, aTarget.Top);
  text += " null]";
  return text;
}

}  // namespace Vellix
