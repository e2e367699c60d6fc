#include "canvas/PdfImage.h"

#include <vellix/JpegImage.h>

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
  switch (FCompressMode) {
    case cpNone: CompressNone(aImage); break;
    case cpZlib: CompressZlib(aImage); break;
    case cpJpeg: CompressJpeg(aImage); break;
  }
}

void TPdfImage::SetCode(const void* aData, size_t aCount) {
  FCode.clear();
  if (FBinary)
    FCode.assign(static_cast<const char*>(aData), aCount);
  else
    AppendASCII85(FCode, aData, aCount);
}

// The pixels are held as exactly the RGB rows the image needs, so they are
// encoded in place rather than read pixel by pixel or copied first.
void TPdfImage::CompressNone(const TGraphic& aImage) {
  SetCode(aImage.RGBData().data(), aImage.RGBData().size());
}

void TPdfImage::CompressZlib(const TGraphic& aImage) {
  TMemoryStream packed;
  {
    TCompressionStream zip(clDefault, packed);
    zip.WriteBuffer(aImage.RGBData().data(), int64_t(aImage.RGBData().size()));
    zip.Finish();  // here, not in the destructor, so that a failure is raised
  }
  SetCode(packed.Memory(), size_t(packed.Size()));
}

void TPdfImage::CompressJpeg(const TGraphic& aImage) {
  // Encoding straight from the picture spares a copy of it in a JPEG object.
  const std::vector<uint8_t> file = TJPEGImage::EncodeGraphic(aImage);
  SetCode(file.data(), file.size());
}

}  // namespace Vellix
