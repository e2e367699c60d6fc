#pragma once
// TPdfImage: one raster image of a document, encoded when it is placed and
// held until its page is written. The encoded data is the stream data of an
// image XObject: RGB samples, 8 bits per component, raw, zlib-compressed or
// JPEG, always wrapped in ASCII85 (ending "~>").
//
// The canvas creates an image for each placement (StretchDraw, Draw,
// CopyRect) and hands it to the document's resources only once encoding
// has succeeded; WritePage writes it with TPdfCanvas::WriteImage and releases
// it right after.

#include <cstdint>
#include <string>

#include <vellix/DocumentTypes.h>
#include <vellix/Graphic.h>

namespace Vellix {

struct TDocumentContext;

class TPdfImage {
public:
  // Encodes the pixels of aImage now, in aOwner's ImageCompressMode(). Errors
  // of the encoders (zlib, JPEG, memory) propagate unchanged and nothing is
  // kept. aImage may be released afterwards.
  TPdfImage(const TDocumentContext& aContext, const TGraphic& aImage);
  TPdfImage(const TPdfImage&) = delete;
  TPdfImage& operator=(const TPdfImage&) = delete;

  // Size of the source picture in pixels.
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // Bits per colour component: always 8.
  uint8_t BitsPerComponent() const { return FBitsPerComponent; }
  // The mode the data was encoded with (the document's at placement).
  TPdfCompressMode CompressMode() const { return FCompressMode; }
  // The stream data (ASCII85 text, or the encoded bytes themselves in a
  // compact document); its size is the /Length.
  const std::string& Code() const { return FCode; }
  // The data carries no ASCII85 layer.
  bool Binary() const { return FBinary; }
  // The colour space: "/DeviceRGB", or "/DeviceGray" for a greyscale JPEG
  // file passed through.
  const char* ColorSpace() const { return FGrey ? "/DeviceGray" : "/DeviceRGB"; }
  // The soft mask's stream data (the alpha, one byte a pixel, zlib; ASCII85
  // unless Binary), empty for an opaque picture.
  const std::string& MaskCode() const { return FMaskCode; }

  // The three encodings, each filling Code() from aImage's pixels:
  // the RGB rows from the top, 3 bytes per pixel, then ASCII85 ...
  void CompressNone(const TGraphic& aImage);
  // ... the same rows compressed with zlib (default level), then ASCII85 ...
  void CompressZlib(const TGraphic& aImage);
  // ... a baseline JPEG file of the picture (TJPEGImage defaults), then ASCII85.
  void CompressJpeg(const TGraphic& aImage);

private:
  // The picture's pixels in the mode's encoding.
  void Encode(const TGraphic& aImage);
  // aCount bytes as stream data: as they are, or ASCII85.
  std::string StreamData(const void* aData, size_t aCount) const;
  // The same after zlib compression (default level).
  std::string Deflated(const void* aData, size_t aCount) const;
  // Replaces the code with the stream data of aCount bytes at aData.
  void SetCode(const void* aData, size_t aCount);

  uint8_t FBitsPerComponent = 8;
  // The encoded data. A string rather than a memory stream: the encoder
  // appends to it directly, sparing a copy of a picture's worth of bytes.
  std::string FCode;
  int32_t FHeight = 0;
  int32_t FWidth = 0;
  TPdfCompressMode FCompressMode = cpNone;
  bool FBinary = false;
  std::string FMaskCode;
  bool FGrey = false;
};

}  // namespace Vellix
