#include "Screenshot.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <png.h>

#include <cstdio>
#include <memory>

namespace Decantor {

namespace {

bool WritePng(const std::string& aPath, const unsigned char* aRgb, int aWidth, int aHeight) {
  std::FILE* file = std::fopen(aPath.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(aWidth), png_uint_32(aHeight), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < aHeight; ++y)
      png_write_row(png, const_cast<png_bytep>(aRgb + size_t(y) * size_t(aWidth) * 3));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

}  // namespace

bool SaveWindowImage(Fl_Window& aWindow, const std::string& aPath) {
  // A window just shown may not be mapped and exposed yet; what it shows can
  // only be read back once it is.
  if (!aWindow.shown()) return false;
  aWindow.wait_for_expose();
  if (!aWindow.shown()) return false;
  aWindow.redraw();
  Fl::flush();
  aWindow.make_current();
  const int width = aWindow.w();
  const int height = aWindow.h();
  std::unique_ptr<unsigned char[]> pixels(fl_read_image(nullptr, 0, 0, width, height));
  return pixels != nullptr && WritePng(aPath, pixels.get(), width, height);
}

}  // namespace Decantor
