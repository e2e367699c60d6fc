#include "canvas/PdfImage.h"

#include "encode/Ascii85.h"
#include "encode/ZlibStream.h"
#include "platform/JpegImage.h"

namespace Vellix {

TPdfImage::TPdfImage(TVellix& aOwner, const TGraphic& aImage)
    : FHeight(aImage.Height()), FWidth(aImage.Width()), FOwner(aOwner), FCompressMode(aOwner.ImageCompressMode()) {
  switch (FCompressMode) {
    case cpNone: CompressNone(aImage); break;
    case cpZlib: CompressZlib(aImage); break;
    case cpJpeg: CompressJpeg(aImage); break;
  }
}

void TPdfImage::SetCode(TMemoryStream& aData) {
  FCodeStream.Clear();
  EncodeASCII85(aData, FCodeStream);
}

// The pixels are held as the RGB rows the image needs, so they are copied
// whole rather than read pixel by pixel.
void TPdfImage::CompressNone(const TGraphic& aImage) {
  TMemoryStream raw;
  raw.WriteBuffer(aImage.RGBData().data(), int64_t(aImage.RGBData().size()));
  SetCode(raw);
}

void TPdfImage::CompressZlib(const TGraphic& aImage) {
  TMemoryStream packed;
  {
    TCompressionStream zip(clDefault, packed);
    zip.WriteBuffer(aImage.RGBData().data(), int64_t(aImage.RGBData().size()));
    zip.Finish();  // here, not in the destructor, so that a failure is raised
  }
  SetCode(packed);
}

void TPdfImage::CompressJpeg(const TGraphic& aImage) {
  // Encoding straight from the picture spares a copy of it in a JPEG object.
  TMemoryStream data;
  {
    const std::vector<uint8_t> file = TJPEGImage::EncodeGraphic(aImage);
    data.WriteBuffer(file.data(), int64_t(file.size()));
  }
  SetCode(data);
}

}  // namespace Vellix
