// The end of a page: the page buffer becomes the content stream, then the
// images the page introduced, then the page object.

#include "canvas/PdfCanvas.h"
#include "document/Vellix.h"

namespace Vellix {

void TPdfCanvas::WritePage() {
  TVellix& doc = FOwner;
  const int32_t contents = doc.BeginDic();
  int64_t length = 0;
  for (const std::string& line : FPdfStream) length += int64_t(line.size()) + 2;
  std::string lengthLine = "/Length ";
  AppendInteger(lengthLine, length);
  doc.WriteFile(lengthLine);
  doc.WriteFile(">>");
  doc.WriteFile("stream");
  for (const std::string& line : FPdfStream) doc.WriteFile(line);
  doc.EndObject("endstream");

  // Images not yet written sit at the end of the list; the most recent is
  // written first, and the walk stops at the first image of an earlier page.
  TStringList<TPdfImage>& images = doc.Images();
  for (int32_t i = images.Count() - 1; i >= 0 && images[i].empty(); --i) {
    TPdfImage* image = images.Objects(i);
    if (image == nullptr) doc.RaiseError(MSG_INTERNAL_ERROR);
    const int32_t objectNo = WriteImage(*image);
    images.FreeObject(i);
    images.SetString(i, " /Im" + std::to_string(i) + " " + TVellix::Ref(objectNo));
  }

  const int32_t page = doc.BeginDic();
  doc.PageObjNos().push_back(page);
  doc.WriteFile("/Type /Page");
  doc.WriteFile("/Parent 3 0 R");
  doc.WriteFile("/Contents " + TVellix::Ref(contents));
  doc.EndDic();
  ResetPage();
}

}  // namespace Vellix
