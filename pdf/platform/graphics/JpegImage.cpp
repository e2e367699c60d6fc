#include <vellix/JpegImage.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/graphics/ContentHash.h"

namespace Vellix {

namespace {

// libjpeg reports errors through callbacks that must not return. We leave
// with longjmp to the frame that started the work; no frame in between holds
// a C++ object with a destructor, and the callers below throw afterwards.
struct TJpegErrorManager {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr aInfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(aInfo->err);
  (*aInfo->err->format_message)(aInfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings that mean the picture would be wrong (missing or damaged data) are
// errors here: a decoder that silently paints grey where the file ended would
// turn a broken file into a broken document.
void OnJpegMessage(j_common_ptr aInfo, int aLevel) {
  if (aLevel >= 0) return;
  switch (aInfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HIT_MARKER:
      OnJpegError(aInfo);
      break;
    default:
      break;
  }
}

void InitErrors(TJpegErrorManager& aErr) {
  jpeg_std_error(&aErr.Pub);
  aErr.Pub.error_exit = OnJpegError;
  aErr.Pub.emit_message = OnJpegMessage;
  aErr.Message[0] = 0;
}

struct TDecodeJob {
  const uint8_t* Data;
  size_t Size;
  std::vector<uint8_t>* Pixels;
  std::vector<uint8_t>* CmykRow;  // lives with the caller: see the note on longjmp
  int32_t Width;
  int32_t Height;
  bool TooLarge;
  // A baseline file of one or three components (greyscale, YCbCr or RGB):
  // its bytes can stand in a PDF as they are.
  int32_t PassableComponents = 0;
};

// Decodes into aJob; false with aErr.Message set when libjpeg fails.
bool RunDecode(jpeg_decompress_struct& aInfo, TJpegErrorManager& aErr, TDecodeJob& aJob) {
  if (setjmp(aErr.Jump)) return false;
  jpeg_mem_src(&aInfo, aJob.Data, static_cast<unsigned long>(aJob.Size));
  jpeg_read_header(&aInfo, TRUE);
  const int64_t w = aInfo.image_width, h = aInfo.image_height;
  if (w > MaxGraphicSide || h > MaxGraphicSide || w * h > MaxGraphicPixels) {
    aJob.TooLarge = true;
    aJob.Width = int32_t(w);
    aJob.Height = int32_t(h);
    return false;
  }
  const bool cmyk = aInfo.jpeg_color_space == JCS_CMYK || aInfo.jpeg_color_space == JCS_YCCK;
  if (!aInfo.progressive_mode && !cmyk && (aInfo.num_components == 1 || aInfo.num_components == 3))
    aJob.PassableComponents = aInfo.num_components;
  aInfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  // Progressive files hold every coefficient until the end; keep a damaged
  // header from asking for more than a picture within the limits needs.
  aInfo.mem->max_memory_to_use = 2048L * 1024 * 1024;
  jpeg_start_decompress(&aInfo);
  aJob.Width = int32_t(aInfo.output_width);
  aJob.Height = int32_t(aInfo.output_height);
  const size_t rgbRow = size_t(aJob.Width) * 3;
  std::vector<uint8_t>& cmykRow = *aJob.CmykRow;
  cmykRow.resize(cmyk ? size_t(aJob.Width) * 4 : 0);
  // Grow row by row: a truncated file stops early without having reserved
  // the whole picture its header announced.
  while (aInfo.output_scanline < aInfo.output_height) {
    const size_t y = aInfo.output_scanline;
    aJob.Pixels->resize((y + 1) * rgbRow);
    uint8_t* dst = aJob.Pixels->data() + y * rgbRow;
    JSAMPROW row = cmyk ? cmykRow.data() : dst;
    jpeg_read_scanlines(&aInfo, &row, 1);
    if (cmyk) {
      // Adobe writes CMYK inverted, so each value is already 255 - ink.
      for (int32_t x = 0; x < aJob.Width; ++x) {
        const unsigned k = cmykRow[size_t(x) * 4 + 3];
        for (int c = 0; c < 3; ++c) dst[size_t(x) * 3 + c] = uint8_t((cmykRow[size_t(x) * 4 + c] * k + 127) / 255);
      }
    }
  }
  jpeg_finish_decompress(&aInfo);
  return true;
}

// What the header of a file says, read without decoding any pixel.
struct THeaderJob {
  const uint8_t* Data;
  size_t Size;
  int64_t Width = 0;
  int64_t Height = 0;
  int32_t PassableComponents = 0;
};

bool RunReadHeader(jpeg_decompress_struct& aInfo, TJpegErrorManager& aErr, THeaderJob& aJob) {
  if (setjmp(aErr.Jump)) return false;
  jpeg_mem_src(&aInfo, aJob.Data, static_cast<unsigned long>(aJob.Size));
  jpeg_read_header(&aInfo, TRUE);
  aJob.Width = aInfo.image_width;
  aJob.Height = aInfo.image_height;
  const bool cmyk = aInfo.jpeg_color_space == JCS_CMYK || aInfo.jpeg_color_space == JCS_YCCK;
  if (!aInfo.progressive_mode && !cmyk && (aInfo.num_components == 1 || aInfo.num_components == 3))
    aJob.PassableComponents = aInfo.num_components;
  return true;
}

uint16_t BigEndian16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

// True when the file's markers run complete from the start marker to the end
// marker: every segment within the file, every scan's data followed by a
// marker, restart markers in their cycle. A file cut anywhere fails this
// (it then has no end marker), as do many damaged ones. What it cannot see
// is damage inside compressed data that keeps the marker structure; only
// decoding finds that.
bool MarkersComplete(const uint8_t* aData, size_t aSize) {
  if (aSize < 4 || aData[0] != 0xFF || aData[1] != 0xD8) return false;
  size_t at = 2;
  for (;;) {
    if (at >= aSize || aData[at] != 0xFF) return false;
    while (at < aSize && aData[at] == 0xFF) ++at;  // fill bytes
    if (at >= aSize) return false;
    const uint8_t marker = aData[at++];
    if (marker == 0xD9) return true;
    if (marker == 0x00 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) return false;
    if (marker == 0x01) continue;  // TEM: no length
    if (at + 2 > aSize) return false;
    const size_t length = BigEndian16(aData + at);
    if (length < 2 || at + length > aSize) return false;
    at += length;
    if (marker != 0xDA) continue;
    // Entropy-coded data up to the next marker that is not a stuffed byte
    // or a restart; restarts count D0 to D7 and round again.
    int expectedRestart = 0xD0;
    for (;;) {
      const void* ff = std::memchr(aData + at, 0xFF, aSize - at);
      if (ff == nullptr) return false;
      at = size_t(static_cast<const uint8_t*>(ff) - aData);
      if (at + 1 >= aSize) return false;
      const uint8_t next = aData[at + 1];
      if (next == 0x00) {
        at += 2;
      } else if (next >= 0xD0 && next <= 0xD7) {
        if (next != expectedRestart) return false;
        expectedRestart = expectedRestart == 0xD7 ? 0xD0 : expectedRestart + 1;
        at += 2;
      } else if (next == 0xFF) {
        ++at;  // fill before a marker
      } else {
        break;
      }
    }
  }
}

// A libjpeg destination that appends to a vector.
struct TVectorDestination {
  jpeg_destination_mgr Pub;
  std::vector<uint8_t>* Out;
};

void InitDestination(j_compress_ptr aInfo) {
  auto* dest = reinterpret_cast<TVectorDestination*>(aInfo->dest);
  dest->Out->resize(65536);
  dest->Pub.next_output_byte = dest->Out->data();
  dest->Pub.free_in_buffer = dest->Out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr aInfo) {
  auto* dest = reinterpret_cast<TVectorDestination*>(aInfo->dest);
  const size_t used = dest->Out->size();
  dest->Out->resize(used * 2);
  dest->Pub.next_output_byte = dest->Out->data() + used;
  dest->Pub.free_in_buffer = dest->Out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr aInfo) {
  auto* dest = reinterpret_cast<TVectorDestination*>(aInfo->dest);
  dest->Out->resize(dest->Out->size() - dest->Pub.free_in_buffer);
}

bool RunEncode(jpeg_compress_struct& aInfo, TJpegErrorManager& aErr, const TGraphic& aImage, int aQuality,
               TVectorDestination& aDest) {
  if (setjmp(aErr.Jump)) return false;
  aDest.Pub.init_destination = InitDestination;
  aDest.Pub.empty_output_buffer = EmptyOutputBuffer;
  aDest.Pub.term_destination = TermDestination;
  aInfo.dest = &aDest.Pub;
  aInfo.image_width = JDIMENSION(aImage.Width());
  aInfo.image_height = JDIMENSION(aImage.Height());
  aInfo.input_components = 3;
  aInfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&aInfo);
  jpeg_set_quality(&aInfo, aQuality, TRUE);
  jpeg_start_compress(&aInfo, TRUE);
  while (aInfo.next_scanline < aInfo.image_height) {
    // libjpeg's row type is not const, but the encoder only reads the rows.
    JSAMPROW row = const_cast<uint8_t*>(aImage.ScanLine(int32_t(aInfo.next_scanline)));
    jpeg_write_scanlines(&aInfo, &row, 1);
  }
  jpeg_finish_compress(&aInfo);
  return true;
}

// Runs aRun(info, errors) on a fresh decompressor, destroyed afterwards
// whatever happens; a false result raises "JPEG error: " and libjpeg's text.
template <class Run>
void WithDecompressor(Run&& aRun) {
  TJpegErrorManager err;
  jpeg_decompress_struct info;
  info.err = &err.Pub;
  InitErrors(err);
  jpeg_create_decompress(&info);
  bool ok = false;
  try {
    ok = aRun(info, err);
  } catch (...) {
    jpeg_destroy_decompress(&info);
    throw;
  }
  jpeg_destroy_decompress(&info);
  if (!ok) throw EInvalidGraphic(std::string("JPEG error: ") + err.Message);
}

}  // namespace

void TJPEGImage::LoadFromStream(TStream& aStream) {
  std::vector<uint8_t> data = ReadRest(aStream);
  if (data.empty()) throw EInvalidGraphic("JPEG error: empty file");
  THeaderJob header{data.data(), data.size()};
  WithDecompressor([&](jpeg_decompress_struct& aInfo, TJpegErrorManager& aErr) {
    return RunReadHeader(aInfo, aErr, header);
  });
  CheckGraphicSize("JPEG error", header.Width, header.Height);
  if (header.PassableComponents > 0 && MarkersComplete(data.data(), data.size())) {
    // A complete baseline file is kept as it is and decoded when its pixels
    // are first read: placed as a shared JPEG it never needs them.
    std::lock_guard<std::mutex> guard(FDecodeLock);
    FSourceKey = ContentHash(data.data(), data.size());
    FSource = std::move(data);
    FSourceComponents = header.PassableComponents;
    FPixels.clear();
    FWidth = int32_t(header.Width);
    FHeight = int32_t(header.Height);
    FPixelsPending.store(true, std::memory_order_release);
    return;
  }
  std::vector<uint8_t> pixels = DecodeFile(data);
  TakePixels(int32_t(header.Width), int32_t(header.Height), std::move(pixels));
  FSourceComponents = header.PassableComponents;
  if (FSourceComponents > 0) {
    FSourceKey = ContentHash(data.data(), data.size());
    FSource = std::move(data);
  } else {
    FSource.clear();
    FSourceKey.clear();
  }
}

std::vector<uint8_t> TJPEGImage::DecodeFile(const std::vector<uint8_t>& aData) {
  std::vector<uint8_t> pixels, cmykRow;
  TDecodeJob job{aData.data(), aData.size(), &pixels, &cmykRow, 0, 0, false, 0};
  WithDecompressor([&](jpeg_decompress_struct& aInfo, TJpegErrorManager& aErr) {
    const bool ok = RunDecode(aInfo, aErr, job);
    // A size beyond the limits is named as such, not as a decoding failure.
    if (job.TooLarge) CheckGraphicSize("JPEG error", job.Width, job.Height);
    return ok;
  });
  return pixels;
}

void TJPEGImage::DecodePendingPixels() const {
  std::lock_guard<std::mutex> guard(FDecodeLock);
  if (!FPixelsPending.load(std::memory_order_relaxed)) return;
  // A failure leaves the pixels pending: every later read fails the same way.
  FPixels = DecodeFile(FSource);
  FPixelsPending.store(false, std::memory_order_release);
}

void TJPEGImage::Assign(const TGraphic& aSource) {
  if (&aSource == this) return;
  TGraphic::Assign(aSource);
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(&aSource);
  FSource = jpeg ? jpeg->FSource : std::vector<uint8_t>();
  FSourceKey = jpeg ? jpeg->FSourceKey : std::string();
  FSourceComponents = jpeg ? jpeg->FSourceComponents : 0;
}

std::vector<uint8_t> TJPEGImage::EncodeGraphic(const TGraphic& aImage, int32_t aQuality) {
  if (aImage.Empty()) throw EInvalidGraphic("JPEG error: an empty picture cannot be saved");
  // Pixels still to be decoded are decoded here, before the encoder exists:
  // a decoding error thrown from inside the encoding loop would leave the
  // encoder's memory behind.
  (void)aImage.RGBData();
  std::vector<uint8_t> out;
  TVectorDestination dest{};
  dest.Out = &out;
  TJpegErrorManager err;
  jpeg_compress_struct info;
  info.err = &err.Pub;
  InitErrors(err);
  jpeg_create_compress(&info);
  const int quality = aQuality < 1 ? 1 : aQuality > 100 ? 100 : aQuality;
  const bool ok = RunEncode(info, err, aImage, quality, dest);
  jpeg_destroy_compress(&info);
  if (!ok) throw EInvalidGraphic(std::string("JPEG error: ") + err.Message);
  return out;
}

void TJPEGImage::SaveToStream(TStream& aStream) const {
  const std::vector<uint8_t> data = Encode();
  aStream.WriteBuffer(data.data(), int64_t(data.size()));
}

}  // namespace Vellix
