// The workloads drawn with cairo's PDF surface.

#include <cairo-ft.h>
#include <pango/pangocairo.h>
#include <cairo-pdf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "Peers.h"
#include "Workloads.h"

namespace Compare {

namespace {
constexpr double A4Width = 595.276, A4Height = 841.89;

struct Document {
  cairo_surface_t* Surface;
  cairo_t* Cr;
  explicit Document(const std::string& aOut)
      : Surface(cairo_pdf_surface_create(aOut.c_str(), A4Width, A4Height)), Cr(cairo_create(Surface)) {}
  ~Document() {
    cairo_destroy(Cr);
    cairo_surface_finish(Surface);
    cairo_surface_destroy(Surface);
  }
};

struct FontFace {
  FT_Library Library = nullptr;
  FT_Face Face = nullptr;
  cairo_font_face_t* Cairo = nullptr;
  explicit FontFace(const char* aFile) {
    if (FT_Init_FreeType(&Library) || FT_New_Face(Library, aFile, 0, &Face))
      throw std::runtime_error(std::string("cannot load ") + aFile);
    Cairo = cairo_ft_font_face_create_for_ft_face(Face, 0);
  }
  ~FontFace() {
    cairo_font_face_destroy(Cairo);
    FT_Done_Face(Face);
    FT_Done_FreeType(Library);
  }
};

void Text(cairo_t* aCr, cairo_font_face_t* aFace, int aSize, int aX, int aTop, const std::string& aText) {
  cairo_set_font_face(aCr, aFace);
  cairo_set_font_size(aCr, aSize);
  cairo_move_to(aCr, aX, aTop + aSize * 0.905);
  cairo_show_text(aCr, aText.c_str());
}

void DrawReport(int aPages, const std::string& aOut) {
  FontFace regular(FontFile), bold(BoldFontFile);
  {
    Document doc(aOut);
    cairo_t* cr = doc.Cr;
    ReportPage page;
    for (int p = 0; p < aPages; ++p) {
      page.Fill(p);
      cairo_set_source_rgb(cr, 0, 0, 0);
      Text(cr, bold.Cairo, HeaderSize, 40, 30, page.Header);
      for (const TextLine& l : page.Lines) Text(cr, regular.Cairo, TextSize, l.X, l.Y, l.Text);
      cairo_set_line_width(cr, 0.5);
      for (const Cell& c : page.Cells) {
        cairo_rectangle(cr, c.X, c.Y, c.W, c.H);
        cairo_stroke(cr);
        Text(cr, regular.Cairo, TextSize, c.X + 3, c.Y + 4, c.Text);
      }
      cairo_show_page(cr);
    }
  }
}

// One pango layout per document, its text replaced for each line, as a
// report program would use pango.
struct Layout {
  PangoLayout* Pango;
  PangoFontDescription* Regular;
  PangoFontDescription* Bold;
  explicit Layout(cairo_t* aCr)
      : Pango(pango_cairo_create_layout(aCr)),
        Regular(pango_font_description_from_string(UnicodeFamily)),
        Bold(pango_font_description_from_string(UnicodeFamily)) {
    pango_font_description_set_absolute_size(Regular, TextSize * PANGO_SCALE);
    pango_font_description_set_absolute_size(Bold, HeaderSize * PANGO_SCALE);
    pango_font_description_set_weight(Bold, PANGO_WEIGHT_BOLD);
  }
  ~Layout() {
    pango_font_description_free(Bold);
    pango_font_description_free(Regular);
    g_object_unref(Pango);
  }
  void Show(cairo_t* aCr, bool aBold, int aX, int aTop, const std::string& aText) {
    pango_layout_set_font_description(Pango, aBold ? Bold : Regular);
    pango_layout_set_text(Pango, aText.c_str(), int(aText.size()));
    cairo_move_to(aCr, aX, aTop);
    pango_cairo_show_layout(aCr, Pango);
  }
};

void DrawUnicodeReport(int aPages, const std::string& aOut) {
  Document doc(aOut);
  cairo_t* cr = doc.Cr;
  Layout layout(cr);
  ReportPage page;
  for (int p = 0; p < aPages; ++p) {
    page.Fill(p, true);
    cairo_set_source_rgb(cr, 0, 0, 0);
    layout.Show(cr, true, 40, 30, page.Header);
    for (const TextLine& l : page.Lines) layout.Show(cr, false, l.X, l.Y, l.Text);
    cairo_set_line_width(cr, 0.5);
    for (const Cell& c : page.Cells) {
      cairo_rectangle(cr, c.X, c.Y, c.W, c.H);
      cairo_stroke(cr);
      layout.Show(cr, false, c.X + 3, c.Y + 4, c.Text);
    }
    cairo_show_page(cr);
  }
}

void DrawShapes(int aPages, const std::string& aOut) {
  Document doc(aOut);
  cairo_t* cr = doc.Cr;
  Compare::Shapes s;
  for (int p = 0; p < aPages; ++p) {
    s.Fill(p);
    cairo_set_source_rgb(cr, 0, 0, 0.5);
    for (const Line& l : s.Lines) {
      cairo_move_to(cr, l.X1, l.Y1);
      cairo_line_to(cr, l.X2, l.Y2);
      cairo_stroke(cr);
    }
    auto fillStroke = [cr] {
      cairo_set_source_rgb(cr, 1, 1, 0);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, 0, 0, 0.5);
      cairo_stroke(cr);
    };
    for (const Box& b : s.Rects) {
      cairo_rectangle(cr, b.X1, b.Y1, b.X2 - b.X1, b.Y2 - b.Y1);
      fillStroke();
    }
    auto ellipsePath = [cr](const Box& b, double aFrom, double aTo) {
      cairo_save(cr);
      cairo_translate(cr, (b.X1 + b.X2) / 2.0, (b.Y1 + b.Y2) / 2.0);
      cairo_scale(cr, (b.X2 - b.X1) / 2.0, (b.Y2 - b.Y1) / 2.0);
      cairo_new_sub_path(cr);
      cairo_arc(cr, 0, 0, 1, aFrom, aTo);
      cairo_restore(cr);
    };
    for (const Box& b : s.Ellipses) {
      ellipsePath(b, 0, 2 * M_PI);
      fillStroke();
    }
    for (const Box& b : s.Arcs) {
      ellipsePath(b, M_PI, 2 * M_PI);
      cairo_stroke(cr);
    }
    cairo_show_page(cr);
  }
}

std::vector<unsigned char> ReadFile(const std::string& aPath) {
  FILE* f = std::fopen(aPath.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot read " + aPath);
  std::vector<unsigned char> data;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
  std::fclose(f);
  return data;
}

void DrawImages(int aPages, const std::string& aOut, const std::string& aPhoto) {
  // cairo embeds the JPEG bytes given as mime data as they are; the pixels of
  // the surface are only its fallback and stay blank here.
  std::vector<unsigned char> jpeg = ReadFile(aPhoto);
  cairo_surface_t* photo = cairo_image_surface_create(CAIRO_FORMAT_RGB24, PhotoWidth, PhotoHeight);
  cairo_surface_set_mime_data(photo, CAIRO_MIME_TYPE_JPEG, jpeg.data(), jpeg.size(), nullptr, nullptr);
  {
    Document doc(aOut);
    cairo_t* cr = doc.Cr;
    const Box b = PhotoBox;
    for (int p = 0; p < aPages; ++p) {
      cairo_save(cr);
      cairo_translate(cr, b.X1, b.Y1);
      cairo_scale(cr, double(b.X2 - b.X1) / PhotoWidth, double(b.Y2 - b.Y1) / PhotoHeight);
      cairo_set_source_surface(cr, photo, 0, 0);
      cairo_paint(cr);
      cairo_restore(cr);
      cairo_show_page(cr);
    }
  }
  cairo_surface_destroy(photo);
}
}  // namespace

const Library CairoLibrary = {
    "cairo",
    "embeds a subset of the TrueType font; compresses content streams; "
    "the JPEG file is copied once and shared by every page; Unicode text through pango (HarfBuzz shaping, "
    "fontconfig fallback, subset fonts)",
    DrawReport, DrawShapes, DrawImages, DrawUnicodeReport};

}  // namespace Compare
