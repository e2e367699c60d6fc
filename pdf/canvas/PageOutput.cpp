// The end of a page: the page buffer becomes the content stream, then the
// images the page introduced, then the page object.

#include <vellix/Canvas.h>

#include <new>
#include <span>
#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "canvas/PdfResources.h"
#include "canvas/PageCompressor.h"
#include "navigation/Navigation.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

void TPdfCanvas::WritePage() {
  CloseSavedStates();
  TPdfWriter& writer = FContext.Writer;
  int32_t contents = 0;
  if (FContext.CompressContent) {
    // The page is compressed on the compressor's thread while the next one
    // is drawn; its content object, numbered now, is written just before
    // whatever the document writes next.
    writer.WritePending();  // the page before, which the compressor holds
    contents = writer.ReserveObject();
    if (!FCompressor) FCompressor = std::make_unique<TPageCompressor>();
    FCompressor->Start(FPdfStream);
  } else {
    contents = writer.BeginDic();
    const std::string_view text = FPdfStream.Content();
    std::string lengthLine = "/Length ";
    AppendInteger(lengthLine, int64_t(text.size()));
    writer.WriteLine(lengthLine);
    writer.WriteLine(">>");
    writer.WriteLine("stream");
    writer.WriteRaw(text.data(), int64_t(text.size()));
    writer.EndObject("endstream");
  }

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
  const std::string annots = FNavigation->TakePageAnnots();
  if (!annots.empty()) writer.WriteLine(annots);
  writer.EndDic();
  if (FContext.CompressContent) writer.SetPendingWrite([this, contents] { WriteCompressedContent(contents); });
  FNavigation->PageWritten();
  ResetPage();
}

void TPdfCanvas::WriteCompressedContent(int32_t aObjectNo) {
  std::span<const uint8_t> data;
  try {
    data = FCompressor->Finish();
  } catch (const std::bad_alloc&) {
    FContext.RaiseError(MSG_OUT_OF_MEMORY, "page content");
  } catch (const Exception& e) {
    FContext.RaiseError(e.Message());
  }
  TPdfWriter& writer = FContext.Writer;
  writer.BeginReservedDic(aObjectNo);
  writer.WriteLine("/Length " + std::to_string(data.size()));
  writer.WriteLine("/Filter /FlateDecode");
  writer.WriteLine(">>");
  writer.WriteLine("stream");
  writer.WriteRaw(data.data(), int64_t(data.size()));
  writer.WriteLine("");
  writer.EndObject("endstream");
}

}  // namespace Vellix
