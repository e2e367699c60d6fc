#pragma once
// TPngImage: a PNG picture through libpng. Every PNG colour type and depth
// loads (palette, grey, 16-bit, interlaced); transparency is composed over
// white, since the pictures it feeds have no alpha. Saving writes an 8-bit
// RGB PNG.

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
};

}  // namespace Vellix
