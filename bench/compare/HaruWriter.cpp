// The workloads drawn with libharu.

#include <hpdf.h>

#include <algorithm>
#include <stdexcept>

#include "Peers.h"
#include "Workloads.h"

namespace Compare {

namespace {
void OnError(HPDF_STATUS aError, HPDF_STATUS aDetail, void*) {
  throw std::runtime_error("libharu error " + std::to_string(aError) + "/" + std::to_string(aDetail));
}

struct Document {
  HPDF_Doc Pdf = HPDF_New(OnError, nullptr);
  ~Document() { HPDF_Free(Pdf); }
  HPDF_Page AddPage() {
    HPDF_Page page = HPDF_AddPage(Pdf);
    HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
    return page;
  }
  HPDF_Font Font(const char* aFile) {
    const char* name = HPDF_LoadTTFontFromFile(Pdf, aFile, HPDF_FALSE);
    return HPDF_GetFont(Pdf, name, "WinAnsiEncoding");
  }
};

float Y(int aY) { return float(PageHeight - aY); }

void Text(HPDF_Page aPage, HPDF_Font aFont, int aSize, int aX, int aTop, const std::string& aText) {
  HPDF_Page_BeginText(aPage);
  HPDF_Page_SetFontAndSize(aPage, aFont, float(aSize));
  HPDF_Page_TextOut(aPage, float(aX), Y(aTop) - float(aSize) * 0.905f, aText.c_str());
  HPDF_Page_EndText(aPage);
}

void DrawReport(int aPages, const std::string& aOut) {
  Document doc;
  HPDF_Font regular = doc.Font(FontFile), bold = doc.Font(BoldFontFile);
  ReportPage texts;
  for (int p = 0; p < aPages; ++p) {
    texts.Fill(p);
    HPDF_Page page = doc.AddPage();
    Text(page, bold, HeaderSize, 40, 30, texts.Header);
    for (const TextLine& l : texts.Lines) Text(page, regular, TextSize, l.X, l.Y, l.Text);
    HPDF_Page_SetLineWidth(page, 0.5f);
    for (const Cell& c : texts.Cells) {
      HPDF_Page_Rectangle(page, float(c.X), Y(c.Y + c.H), float(c.W), float(c.H));
      HPDF_Page_Stroke(page);
      Text(page, regular, TextSize, c.X + 3, c.Y + 4, c.Text);
    }
  }
  HPDF_SaveToFile(doc.Pdf, aOut.c_str());
}

void DrawShapes(int aPages, const std::string& aOut) {
  Document doc;
  Compare::Shapes s;
  for (int p = 0; p < aPages; ++p) {
    HPDF_Page page = doc.AddPage();
    s.Fill(p);
    HPDF_Page_SetRGBStroke(page, 0, 0, 0.5f);
    for (const Line& l : s.Lines) {
      HPDF_Page_MoveTo(page, float(l.X1), Y(l.Y1));
      HPDF_Page_LineTo(page, float(l.X2), Y(l.Y2));
      HPDF_Page_Stroke(page);
    }
    HPDF_Page_SetRGBFill(page, 1, 1, 0);
    for (const Box& b : s.Rects) {
      HPDF_Page_Rectangle(page, float(b.X1), Y(b.Y2), float(b.X2 - b.X1), float(b.Y2 - b.Y1));
      HPDF_Page_FillStroke(page);
    }
    for (const Box& b : s.Ellipses) {
      HPDF_Page_Ellipse(page, (b.X1 + b.X2) / 2.0f, float(PageHeight) - (b.Y1 + b.Y2) / 2.0f,
                        (b.X2 - b.X1) / 2.0f, (b.Y2 - b.Y1) / 2.0f);
      HPDF_Page_FillStroke(page);
    }
    for (const Box& b : s.Arcs) {
      const float r = float(std::min(b.X2 - b.X1, b.Y2 - b.Y1)) / 2;
      HPDF_Page_Arc(page, (b.X1 + b.X2) / 2.0f, float(PageHeight) - (b.Y1 + b.Y2) / 2.0f, r, -90, 90);
      HPDF_Page_Stroke(page);
    }
  }
  HPDF_SaveToFile(doc.Pdf, aOut.c_str());
}

void DrawImages(int aPages, const std::string& aOut, const std::string& aPhoto) {
  Document doc;
  HPDF_Image photo = HPDF_LoadJpegImageFromFile(doc.Pdf, aPhoto.c_str());
  const Box b = PhotoBox;
  for (int p = 0; p < aPages; ++p) {
    HPDF_Page page = doc.AddPage();
    HPDF_Page_DrawImage(page, photo, float(b.X1), Y(b.Y2), float(b.X2 - b.X1), float(b.Y2 - b.Y1));
  }
  HPDF_SaveToFile(doc.Pdf, aOut.c_str());
}
}  // namespace

const Library HaruLibrary = {
    "libharu",
    "holds the whole document until saved; TrueType font not embedded; content uncompressed; "
    "the JPEG file is copied once and shared by every page",
    DrawReport, DrawShapes, DrawImages, nullptr};

}  // namespace Compare
