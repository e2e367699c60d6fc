// The end of a page: the page buffer becomes the content stream, then the
// images the page introduced, then the page object.

#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "canvas/PdfResources.h"
#include "encode/Deflater.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

void TPdfCanvas::WritePage() {
  TPdfWriter& writer = FContext.Writer;
  const int32_t contents = writer.BeginDic();
  if (FContext.CompressContent) {
    // Level 1: page content compresses nearly as well as at the default
    // level, several times faster.
    if (!FDeflater) FDeflater = std::make_unique<TDeflater>(1);
    const std::string_view text = FPdfStream.Content();
    const std::span<const uint8_t> data = FDeflater->Compress(text.data(), text.size());
    writer.WriteLine("/Length " + std::to_string(data.size()));
    writer.WriteLine("/Filter /FlateDecode");
    writer.WriteLine(">>");
    writer.WriteLine("stream");
    writer.WriteRaw(data.data(), int64_t(data.size()));
    writer.WriteLine("");
  } else {
    const std::string_view text = FPdfStream.Content();
    std::string lengthLine = "/Length ";
    AppendInteger(lengthLine, int64_t(text.size()));
    writer.WriteLine(lengthLine);
    writer.WriteLine(">>");
    writer.WriteLine("stream");
    writer.WriteRaw(text.data(), int64_t(text.size()));
  }
  writer.EndObject("endstream");

  // Images not yet written sit at the end of the list; the most recent is
  // written first, and the walk stops at the first image of an earlier page.
  TPdfResources& resources = *FResources;
  for (int32_t i = resources.ImageCount() - 1; i >= 0 && resources.ImageObjectNo(i) == 0; --i) {
    TPdfImage* image = resources.PendingImage(i);
    if (image == nullptr) FContext.RaiseError(MSG_INTERNAL_ERROR);
    resources.SetImageWritten(i, WriteImage(*image));
  }

  const int32_t page = writer.BeginDic();
  FContext.PageObjNos.push_back(page);
  writer.WriteLine("/Type /Page");
  writer.WriteLine("/Parent 3 0 R");
  writer.WriteLine("/Contents " + Ref(contents));
  writer.EndDic();
  ResetPage();
}

}  // namespace Vellix
