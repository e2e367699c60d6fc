// Placing raster images on a page and writing their image objects.

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include <vellix/Bitmap.h>
#include <vellix/BitmapCanvas.h>
#include <vellix/Canvas.h>
#include <vellix/JpegImage.h>
#include <vellix/PngImage.h>
#include <vellix/Messages.h>

#include "canvas/PdfImage.h"
#include "platform/graphics/ContentHash.h"
#include "canvas/PdfResources.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

int32_t Saturate(int64_t aValue) {
  return int32_t(std::clamp<int64_t>(aValue, INT32_MIN, INT32_MAX));
}

// What makes two placements the same image object: the mode, the size, and
// the pixels (or, for a JPEG file passed through, the file's bytes).
std::string ImageKey(const TGraphic& aGraphic, TPdfCompressMode aMode) {
  std::string key = std::to_string(aMode) + ":" + std::to_string(aGraphic.Width()) + "x" +
                    std::to_string(aGraphic.Height()) + ":";
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(&aGraphic);
  const auto* png = dynamic_cast<const TPngImage*>(&aGraphic);
  if (png && !png->Alpha().empty()) {
    // Kept transparency or not, the alpha tells pictures apart.
    key += "alpha:";
    key += ContentHash(png->Alpha().data(), png->Alpha().size());
    key += ContentHash(png->StraightRGB().data(), png->StraightRGB().size());
  }
  if (aMode == cpJpeg && jpeg && !jpeg->SourceBytes().empty()) {
    key += "file:";
    key += jpeg->SourceKey();  // computed once per loaded file, not per placement
  } else {
    key += ContentHash(aGraphic.RGBData().data(), aGraphic.RGBData().size());
  }
  return key;
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
  std::string shareKey;
  int32_t index = -1;
  if (FContext.ShareImages) {
    shareKey = ImageKey(*aGraphic, FContext.ImageCompressMode);
    index = FResources->SharedImage(shareKey);
  }
  std::unique_ptr<TPdfImage> image;
  if (index < 0) {
    try {
      image = std::make_unique<TPdfImage>(FContext, *aGraphic);
    } catch (const std::bad_alloc&) {
      FContext.RaiseError(MSG_OUT_OF_MEMORY, "image of " + std::to_string(aGraphic->Width()) + " x " +
                                                 std::to_string(aGraphic->Height()) + " pixels");
    }
    index = FResources->ImageCount();
  }

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
  if (image) {
    FResources->AddImage(std::move(image));
    if (!shareKey.empty()) FResources->SetSharedImage(shareKey, index);
  }
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

namespace {

// Begins an image object: its type, size, colour space and sample depth.
int32_t BeginImage(TPdfWriter& aWriter, const TPdfImage& aImage, const char* aColorSpace) {
  const int32_t objectNo = aWriter.BeginDic();
  aWriter.WriteLine("/Type /XObject");
  aWriter.WriteLine("/Subtype /Image");
  aWriter.WriteLine("/Width " + std::to_string(aImage.Width()));
  aWriter.WriteLine("/Height " + std::to_string(aImage.Height()));
  aWriter.WriteLine(std::string("/ColorSpace ") + aColorSpace);
  aWriter.WriteLine("/BitsPerComponent " + std::to_string(aImage.BitsPerComponent()));
  return objectNo;
}

// The soft mask of a transparent picture: its alpha as a grey image.
int32_t WriteSoftMask(TPdfWriter& aWriter, const TPdfImage& aImage) {
  const std::string& code = aImage.MaskCode();
  const int32_t objectNo = BeginImage(aWriter, aImage, "/DeviceGray");
  aWriter.WriteLine("/Length " + std::to_string(code.size()));
  aWriter.WriteLine(aImage.Binary() ? "/Filter /FlateDecode" : "/Filter [/ASCII85Decode /FlateDecode]");
  aWriter.WriteLine(">>");
  aWriter.WriteLine("stream");
  aWriter.WriteRaw(code.data(), int64_t(code.size()));
  if (aImage.Binary()) aWriter.WriteLine("");
  aWriter.EndObject("endstream");
  return objectNo;
}

}  // namespace

int32_t TPdfCanvas::WriteImage(TPdfImage& aImage) {
  TPdfWriter& writer = FContext.Writer;
  const int32_t maskNo = aImage.MaskCode().empty() ? 0 : WriteSoftMask(writer, aImage);
  const int32_t objectNo = BeginImage(writer, aImage, aImage.ColorSpace());
  const std::string& code = aImage.Code();
  if (maskNo > 0) writer.WriteLine("/SMask " + Ref(maskNo));
  writer.WriteLine("/Length " + std::to_string(code.size()));
  if (aImage.Binary()) {
    static constexpr const char* Filters[] = {"", "/Filter /FlateDecode", "/Filter /DCTDecode"};
    if (aImage.CompressMode() != cpNone) writer.WriteLine(Filters[aImage.CompressMode()]);
  } else {
    static constexpr const char* Filters[] = {"]", " /FlateDecode]", " /DCTDecode]"};
    writer.WriteLine(std::string("/Filter [/ASCII85Decode") + Filters[aImage.CompressMode()]);
  }
  writer.WriteLine(">>");
  writer.WriteLine("stream");
  // ASCII85 data's "~>" and the "endstream" keyword share a line; binary data
  // ends with a line end of its own, outside the /Length.
  writer.WriteRaw(code.data(), int64_t(code.size()));
  if (aImage.Binary()) writer.WriteLine("");
  writer.EndObject("endstream");
  return objectNo;
}

}  // namespace Vellix
