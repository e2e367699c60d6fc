#pragma once
// TJPEGImage: a JPEG picture through libjpeg-turbo. Loading decodes the file
// to RGB pixels (greyscale and CMYK files are converted; progressive files
// are read); saving encodes the current pixels as a baseline JFIF file at
// CompressionQuality with the encoder's usual 2 x 2 chroma subsampling.
// The bytes of a baseline greyscale or colour file are kept with the picture,
// so that a compact document can carry them as they are (SourceBytes); saving
// still encodes the pixels.
//
// A complete baseline file (its markers whole from start to end) is decoded
// when its pixels are first read rather than when it is loaded, so that a
// picture only passed through is never decoded. Loading checks its header,
// size and marker structure; damage inside its compressed data that keeps
// that structure is found by the first read of its pixels (RGBData,
// ScanLine, Pixel, Assign, saving, or a placement that encodes it), which
// then raises the EInvalidGraphic that loading would have raised. Reading the
// pixels of one image from several threads at once is safe.

#include <vellix/Export.h>
#include <vellix/Graphic.h>

#include <mutex>

namespace Vellix {

class VELLIX_API TJPEGImage : public TGraphic {
public:
  // The quality saving uses unless told otherwise (1 to 100).
  static constexpr int32_t DefaultQuality = 90;

  // Encoder quality, 1 (smallest) to 100 (best); values outside are clamped
  // when saving.
  int32_t CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int32_t aValue) { FQuality = aValue; }

  // Decodes a JPEG file. A truncated or corrupt file, or one beyond the size
  // limits, raises EInvalidGraphic ("JPEG error: ...") and leaves the image
  // unchanged.
  void LoadFromStream(TStream& aStream) override;
  // Encodes the picture as a baseline JPEG file. An empty picture raises
  // EInvalidGraphic, as JPEG cannot hold one.
  void SaveToStream(TStream& aStream) const override;
  // The encoded file in memory (what SaveToStream writes).
  std::vector<uint8_t> Encode() const { return EncodeGraphic(*this, FQuality); }
  // Encodes the pixels of any graphic as SaveToStream would, without copying
  // them into a JPEG image first. aQuality is clamped to 1 .. 100.
  static std::vector<uint8_t> EncodeGraphic(const TGraphic& aImage, int32_t aQuality = DefaultQuality);

  // The file the picture was loaded from, when it is a baseline JPEG of one
  // (grey) or three (colour) components; empty otherwise (progressive or
  // CMYK files, pictures assigned from other graphics).
  const std::vector<uint8_t>& SourceBytes() const { return FSource; }
  int32_t SourceComponents() const { return FSourceComponents; }
  // A 128-bit hash of SourceBytes (16 bytes), made once when loaded, which
  // tells a document that the same file is placed again.
  const std::string& SourceKey() const { return FSourceKey; }
  // Copies the picture; from another TJPEGImage its source bytes too.
  void Assign(const TGraphic& aSource) override;

protected:
  void DecodePendingPixels() const override;

private:
  static std::vector<uint8_t> DecodeFile(const std::vector<uint8_t>& aData);

  mutable std::mutex FDecodeLock;
  int32_t FQuality = DefaultQuality;
  std::vector<uint8_t> FSource;
  int32_t FSourceComponents = 0;
  std::string FSourceKey;
};

}  // namespace Vellix
