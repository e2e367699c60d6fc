#pragma once
// TPngImage: a PNG picture through libpng. Every PNG colour type and depth
// loads (palette, grey, 16-bit, interlaced); the pixels are the picture
// composed over white, since the pictures it feeds have no alpha. A picture
// with transparency also keeps its own colours and alpha, which a document
// with KeepTransparency draws as a soft mask. Saving writes an 8-bit RGB PNG.

#include <vellix/Export.h>
#include <vellix/Graphic.h>

namespace Vellix {

class VELLIX_API TPngImage : public TGraphic {
public:
  // Decodes a PNG file. A truncated or corrupt file, or one beyond the size
  // limits, raises EInvalidGraphic ("PNG error: ...") and leaves the image
  // unchanged.
  void LoadFromStream(TStream& aStream) override;
  // Encodes the picture as an 8-bit RGB PNG file.
  void SaveToStream(TStream& aStream) const override;

  // The alpha of each pixel (rows from the top, one byte a pixel) and the
  // colours before they were composed over white (three bytes a pixel);
  // both empty when every pixel is opaque.
  const std::vector<uint8_t>& Alpha() const { return FAlpha; }
  const std::vector<uint8_t>& StraightRGB() const { return FStraight; }
  // Copies the picture; from another TPngImage its transparency too.
  void Assign(const TGraphic& aSource) override;

private:
  std::vector<uint8_t> FAlpha;
  std::vector<uint8_t> FStraight;
};

}  // namespace Vellix
