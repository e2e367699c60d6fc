#include "Screenshot.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <png.h>

#include <cstdio>
#include <memory>

namespace Vellix::Design {

bool SaveWindowPng(Fl_Window& aWindow, const std::string& aFileName) {
  if (!aWindow.shown()) return false;
  aWindow.redraw();
  Fl::flush();
  aWindow.make_current();
  const int w = aWindow.w(), h = aWindow.h();
  std::unique_ptr<uchar[]> pixels(fl_read_image(nullptr, 0, 0, w, h));
  if (!pixels) return false;

  FILE* file = std::fopen(aFileName.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  volatile bool ok = false;  // set after setjmp: must survive a longjmp
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, pixels.get() + static_cast<size_t>(y) * w * 3);
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

}  // namespace Vellix::Design
