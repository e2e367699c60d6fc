#include "canvas/PdfResources.h"

#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "text/PdfFont.h"
#include "writer/PdfSyntax.h"
#include "writer/PdfWriter.h"

namespace Vellix {

TPdfResources::TPdfResources() = default;

TPdfResources::~TPdfResources() = default;

void TPdfResources::SetFontObjectNo(int32_t aFontIndex, int32_t aObjectNo) {
  if (aFontIndex < 0) return;
  if (FFontObjectNos.size() <= size_t(aFontIndex)) FFontObjectNos.resize(size_t(aFontIndex) + 1, 0);
  FFontObjectNos[size_t(aFontIndex)] = aObjectNo;
}

void TPdfResources::Clear() {
  FFonts.Clear();
  FFontObjectNos.clear();
  FImages.Clear();
}

void TPdfResources::ReleasePendingImages() {
  for (int32_t i = 0; i < FImages.Count(); ++i) FImages.FreeObject(i);
}

void TPdfResources::WriteDictionary(TPdfWriter& aWriter) const {
  aWriter.WriteLine("/Font <<");
  for (int32_t i = 0; i < FFonts.Count(); ++i) {
    const int32_t objectNo = size_t(i) < FFontObjectNos.size() ? FFontObjectNos[size_t(i)] : 0;
    if (objectNo <= 0) aWriter.Fail(MSG_INTERNAL_ERROR);
    aWriter.WriteLine("/F" + std::to_string(i) + " " + Ref(objectNo));
  }
  aWriter.WriteLine(">>");
  if (!FImages.Empty()) {
    aWriter.WriteLine("/XObject <<");
    for (int32_t i = 0; i < FImages.Count(); ++i) aWriter.WriteLine(FImages[i]);
    aWriter.WriteLine(" >>");
  }
}

}  // namespace Vellix
