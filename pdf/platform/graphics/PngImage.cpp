#include <vellix/PngImage.h>

#include <csetjmp>
#include <cstring>

#include <png.h>

namespace Vellix {

namespace {

// libpng leaves a failed call with longjmp to png_jmpbuf; the functions that
// set the jump point hold no C++ object with a destructor, and their callers
// throw afterwards. The classic interface is used rather than the simplified
// one so that samples pass unchanged: no gamma conversion of 16-bit or gAMA
// files, which would make the same file read differently here than elsewhere.
struct TPngReadJob {
  const uint8_t* Data;
  size_t Size;
  size_t Position;
  std::vector<uint8_t>* Rgba;
  std::vector<png_bytep>* Rows;
  uint32_t Width;
  uint32_t Height;
  char Message[200];
  bool SizeRefused;
};

void OnPngError(png_structp aPng, png_const_charp aMessage) {
  auto* job = static_cast<TPngReadJob*>(png_get_error_ptr(aPng));
  std::snprintf(job->Message, sizeof job->Message, "%s", aMessage);
  png_longjmp(aPng, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp aPng, png_bytep aOut, png_size_t aCount) {
  auto* job = static_cast<TPngReadJob*>(png_get_io_ptr(aPng));
  if (aCount > job->Size - job->Position) png_error(aPng, "unexpected end of file");
  std::memcpy(aOut, job->Data + job->Position, aCount);
  job->Position += aCount;
}

bool RunRead(png_structp aPng, png_infop aInfo, TPngReadJob& aJob) {
  if (setjmp(png_jmpbuf(aPng))) return false;
  png_set_read_fn(aPng, &aJob, ReadFromMemory);
  png_set_user_limits(aPng, MaxGraphicSide, MaxGraphicSide);
  png_read_info(aPng, aInfo);
  aJob.Width = png_get_image_width(aPng, aInfo);
  aJob.Height = png_get_image_height(aPng, aInfo);
  // Deflate expands at most about 1032 times, so the rows a file can hold are
  // bounded by its size; a damaged header asking for more is refused before
  // anything that large is reserved.
  const uint64_t minRowBytes = 1 + (uint64_t(aJob.Width) + 7) / 8;
  if (uint64_t(aJob.Width) * aJob.Height > uint64_t(MaxGraphicPixels) ||
      minRowBytes * aJob.Height > uint64_t(aJob.Size) * 1040 + 65536) {
    aJob.SizeRefused = true;
    return false;
  }
  png_set_expand(aPng);  // palette, low-depth grey and tRNS to 8-bit channels with alpha
  png_set_strip_16(aPng);
  png_set_gray_to_rgb(aPng);
  png_set_add_alpha(aPng, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(aPng);
  png_read_update_info(aPng, aInfo);
  if (png_get_rowbytes(aPng, aInfo) != size_t(aJob.Width) * 4) png_error(aPng, "unexpected row layout");
  aJob.Rgba->resize(size_t(aJob.Width) * aJob.Height * 4);
  aJob.Rows->resize(aJob.Height);
  for (uint32_t y = 0; y < aJob.Height; ++y) (*aJob.Rows)[y] = aJob.Rgba->data() + size_t(y) * aJob.Width * 4;
  png_read_image(aPng, aJob.Rows->data());
  png_read_end(aPng, nullptr);
  return true;
}

}  // namespace

void TPngImage::LoadFromStream(TStream& aStream) {
  const std::vector<uint8_t> data = ReadRest(aStream);
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) throw EInvalidGraphic("PNG error: not a PNG file");
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  TPngReadJob job{data.data(), data.size(), 0, &rgba, &rows, 0, 0, {}, false};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
  if (!png) throw EInvalidGraphic("PNG error: out of memory");
  png_infop info = png_create_info_struct(png);
  const bool ok = info && RunRead(png, info, job);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (job.SizeRefused) {
    CheckGraphicSize("PNG error", job.Width, job.Height);
    throw EInvalidGraphic("PNG error: file too short for a " + std::to_string(job.Width) + " x " +
                          std::to_string(job.Height) + " picture");
  }
  if (!ok) throw EInvalidGraphic(std::string("PNG error: ") + job.Message);
  // Transparency is composed over white: the plain arithmetic mix.
  const size_t count = size_t(job.Width) * job.Height;
  std::vector<uint8_t> rgb(count * 3);
  bool opaque = true;
  for (size_t i = 0; i < count; ++i) {
    const unsigned a = rgba[i * 4 + 3];
    opaque = opaque && a == 255;
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = uint8_t((rgba[i * 4 + c] * a + 255 * (255 - a) + 127) / 255);
  }
  std::vector<uint8_t> alpha, straight;
  if (!opaque) {
    alpha.resize(count);
    straight.resize(count * 3);
    for (size_t i = 0; i < count; ++i) {
      alpha[i] = rgba[i * 4 + 3];
      for (int c = 0; c < 3; ++c) straight[i * 3 + c] = rgba[i * 4 + c];
    }
  }
  TakePixels(int32_t(job.Width), int32_t(job.Height), std::move(rgb));
  FAlpha = std::move(alpha);
  FStraight = std::move(straight);
}

void TPngImage::Assign(const TGraphic& aSource) {
  TGraphic::Assign(aSource);
  const auto* png = dynamic_cast<const TPngImage*>(&aSource);
  FAlpha = png ? png->FAlpha : std::vector<uint8_t>();
  FStraight = png ? png->FStraight : std::vector<uint8_t>();
}

void TPngImage::SaveToStream(TStream& aStream) const {
  if (Empty()) throw EInvalidGraphic("PNG error: an empty picture cannot be saved");
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(FWidth);
  image.height = png_uint_32(FHeight);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, FPixels.data(), 0, nullptr))
    throw EInvalidGraphic(std::string("PNG error: ") + image.message);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, FPixels.data(), 0, nullptr))
    throw EInvalidGraphic(std::string("PNG error: ") + image.message);
  aStream.WriteBuffer(out.data(), int64_t(size));
}

}  // namespace Vellix
