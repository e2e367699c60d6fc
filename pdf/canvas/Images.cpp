// Placing raster images on a page and writing their image objects.

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include <vellix/Bitmap.h>
#include <vellix/BitmapCanvas.h>
#include <vellix/Canvas.h>
#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "canvas/PdfResources.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"

namespace Vellix {

namespace {

int32_t Saturate(int64_t aValue) {
  return int32_t(std::clamp<int64_t>(aValue, INT32_MIN, INT32_MAX));
}

}  // namespace

void TPdfCanvas::StretchDraw(const TRect& aRect, const TGraphic* aGraphic) {
  if (!CheckDocumentState()) return;
  if (aGraphic == nullptr) FContext.RaiseError(MSG_INVALID_METHOD_CALL);
  if (aRect.Right == aRect.Left || aRect.Bottom == aRect.Top || aGraphic->Empty()) return;

  // Encode first: a placement whose encoding fails leaves neither lines in
  // the page nor an entry in the image list, so the document stays sound and
  // the error reaches the caller as the encoder raised it. Memory that cannot
  // be had is the one failure that goes through the error rule instead, as a
  // Vellix::Exception rather than a bare std::bad_alloc.
  std::unique_ptr<TPdfImage> image;
  try {
    image = std::make_unique<TPdfImage>(FContext, *aGraphic);
  } catch (const std::bad_alloc&) {
    FContext.RaiseError(MSG_OUT_OF_MEMORY, "image of " + std::to_string(aGraphic->Width()) + " x " +
                                               std::to_string(aGraphic->Height()) + " pixels");
  }
  const int32_t index = FResources->ImageCount();

  // The unit square goes onto a box one unit narrower and lower than the
  // rectangle, lower-left corner at (Left, Bottom); a reversed rectangle mirrors.
  const long double w = (int64_t(aRect.Right) - aRect.Left - 1) * FContext.PointPerUnit;
  const long double h = (int64_t(aRect.Bottom) - aRect.Top - 1) * FContext.PointPerUnit;
  std::string cm;
  cm.reserve(64);
  AppendPdfNumber(cm, w);
  cm += " 0 0 ";
  AppendPdfNumber(cm, h);
  cm += ' ';
  AppendPdfNumber(cm, UnitToPoint(aRect.Left));
  cm += ' ';
  AppendPdfNumber(cm, YToPoint(aRect.Bottom));
  cm += " cm";
  AddLine("q");
  AddLine(std::move(cm));
  AddLine("/Im" + std::to_string(index) + " Do");
  AddLine("Q");
  FResources->AddImage(std::move(image));
}

void TPdfCanvas::Draw(int32_t X, int32_t Y, const TGraphic* aGraphic) {
  if (!CheckDocumentState()) return;
  if (aGraphic == nullptr) FContext.RaiseError(MSG_INVALID_METHOD_CALL);
  const long double u = FContext.UnitPerPixel;
  const auto extent = [u](int32_t aPixels) { return int64_t(std::nearbyint(aPixels * u)); };
  StretchDraw(Rect(X, Y, Saturate(X + extent(aGraphic->Width())), Saturate(Y + extent(aGraphic->Height()))),
              aGraphic);
}

void TPdfCanvas::CopyRect(const TRect& aDest, const TBitmapCanvas& aCanvas, const TRect& aSource) {
  if (!CheckDocumentState()) return;
  // A reversed source rectangle gives a mirrored copy of the same size.
  const int64_t w = std::abs(int64_t(aSource.Right) - aSource.Left);
  const int64_t h = std::abs(int64_t(aSource.Bottom) - aSource.Top);
  TBitmap bitmap;
  bitmap.SetSize(Saturate(w), Saturate(h));
  bitmap.Canvas().CopyRect(Rect(0, 0, bitmap.Width(), bitmap.Height()), aCanvas, aSource);
  StretchDraw(aDest, &bitmap);
}

int32_t TPdfCanvas::WriteImage(TPdfImage& aImage) {
  TPdfWriter& writer = FContext.Writer;
  const int32_t objectNo = writer.BeginDic();
  const std::string& code = aImage.Code();
  writer.WriteLine("/Type /XObject");
  writer.WriteLine("/Subtype /Image");
  writer.WriteLine("/Width " + std::to_string(aImage.Width()));
  writer.WriteLine("/Height " + std::to_string(aImage.Height()));
  writer.WriteLine("/ColorSpace /DeviceRGB");
  writer.WriteLine("/BitsPerComponent " + std::to_string(aImage.BitsPerComponent()));
  writer.WriteLine("/Length " + std::to_string(code.size()));
  static constexpr const char* Filters[] = {"]", " /FlateDecode]", " /DCTDecode]"};
  writer.WriteLine(std::string("/Filter [/ASCII85Decode") + Filters[aImage.CompressMode()]);
  writer.WriteLine(">>");
  writer.WriteLine("stream");
  // The data's "~>" and the "endstream" keyword share a line.
  writer.WriteRaw(code.data(), int64_t(code.size()));
  writer.EndObject("endstream");
  return objectNo;
}

}  // namespace Vellix
