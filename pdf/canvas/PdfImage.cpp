#include "canvas/PdfImage.h"

#include <vellix/Bitmap.h>
#include <vellix/JpegImage.h>
#include <vellix/PngImage.h>

#include <cstring>

#include "encode/Ascii85.h"
#include "encode/ZlibStream.h"
#include "writer/DocumentContext.h"

namespace Vellix {

TPdfImage::TPdfImage(const TDocumentContext& aContext, const TGraphic& aImage)
    : FHeight(aImage.Height()), FWidth(aImage.Width()), FCompressMode(aContext.ImageCompressMode),
      FBinary(aContext.Compact()) {
  if (aContext.ShareImages && FCompressMode == cpJpeg) {
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&aImage);
    if (jpeg && !jpeg->SourceBytes().empty()) {
      // The file's own bytes: no decoding, no second loss of quality.
      FCode.assign(jpeg->SourceBytes().begin(), jpeg->SourceBytes().end());
      FGrey = jpeg->SourceComponents() == 1;
      return;
    }
  }
  const auto* png = aContext.KeepTransparency ? dynamic_cast<const TPngImage*>(&aImage) : nullptr;
  if (png && !png->Alpha().empty()) {
    // The picture's own colours, and its alpha as a soft mask beside them.
    TBitmap straight(FWidth, FHeight);
    std::memcpy(straight.ScanLine(0), png->StraightRGB().data(), png->StraightRGB().size());
    Encode(straight);
    FMaskCode = Deflated(png->Alpha().data(), png->Alpha().size());
    return;
  }
  Encode(aImage);
}

void TPdfImage::Encode(const TGraphic& aImage) {
  switch (FCompressMode) {
    case cpNone: CompressNone(aImage); break;
    case cpZlib: CompressZlib(aImage); break;
    case cpJpeg: CompressJpeg(aImage); break;
  }
}

std::string TPdfImage::StreamData(const void* aData, size_t aCount) const {
  std::string code;
  if (FBinary)
    code.assign(static_cast<const char*>(aData), aCount);
  else
    AppendASCII85(code, aData, aCount);
  return code;
}

std::string TPdfImage::Deflated(const void* aData, size_t aCount) const {
  TMemoryStream packed;
  {
    TCompressionStream zip(clDefault, packed);
    zip.WriteBuffer(aData, int64_t(aCount));
    zip.Finish();
  }
  return StreamData(packed.Memory(), size_t(packed.Size()));
}

void TPdfImage::SetCode(const void* aData, size_t aCount) { FCode = StreamData(aData, aCount); }

// The pixels are held as exactly the RGB rows the image needs, so they are
// encoded in place rather than read pixel by pixel or copied first.
void TPdfImage::CompressNone(const TGraphic& aImage) {
  SetCode(aImage.RGBData().data(), aImage.RGBData().size());
}

void TPdfImage::CompressZlib(const TGraphic& aImage) {
  FCode = Deflated(aImage.RGBData().data(), aImage.RGBData().size());
}

void TPdfImage::CompressJpeg(const TGraphic& aImage) {
  // Encoding straight from the picture spares a copy of it in a JPEG object.
  const std::vector<uint8_t> file = TJPEGImage::EncodeGraphic(aImage);
  SetCode(file.data(), file.size());
}

}  // namespace Vellix
