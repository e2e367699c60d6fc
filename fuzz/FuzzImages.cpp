// The picture loaders on arbitrary bytes: a BMP, PNG or JPEG file (the first
// byte chooses the reader) is read or refused with EInvalidGraphic, and a
// picture that was read has the size it says and can be placed on a page. A
// JPEG file whose markers are whole is decoded when its pixels are first
// read, so damage inside its compressed data is refused there, with the same
// EInvalidGraphic, and its placement fails the same way.

#include <cstdint>
#include <memory>

#include "Vellix.h"

using namespace Vellix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize < 1) return 0;
  std::unique_ptr<TGraphic> graphic;
  switch (aData[0] % 3) {
    case 0: graphic = std::make_unique<TBitmap>(); break;
    case 1: graphic = std::make_unique<TPngImage>(); break;
    default: graphic = std::make_unique<TJPEGImage>(); break;
  }
  TMemoryStream file;
  file.Write(aData + 1, int64_t(aSize - 1));
  file.SetPosition(0);
  try {
    graphic->LoadFromStream(file);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  const bool decodesLater = dynamic_cast<TJPEGImage*>(graphic.get()) != nullptr;
  try {
    if (graphic->RGBData().size() != size_t(graphic->Width()) * size_t(graphic->Height()) * 3) __builtin_trap();
  } catch (const EInvalidGraphic&) {
    if (!decodesLater) __builtin_trap();
    // Refused again at every read: placing it must fail cleanly, below.
  }
  if (graphic->Empty() || int64_t(graphic->Width()) * graphic->Height() > 4000000) return 0;
  TMemoryStream out;
  TVellix doc;
  doc.SetOutStream(&out);
  doc.SetImageCompressMode(TPdfCompressMode(aSize % 3));
  doc.BeginDoc();
  try {
    doc.Canvas().Draw(100, 100, graphic.get());
  } catch (const EInvalidGraphic&) {
    if (!decodesLater) __builtin_trap();
  }
  // The document is sound either way.
  doc.EndDoc();
  if (doc.Aborted()) __builtin_trap();
  return 0;
}
