// The workloads drawn with Vellix, in points so the coordinates are those of
// the other libraries.

#include <memory>

#include "Peers.h"
#include "Vellix.h"
#include "Workloads.h"

namespace Compare {

namespace {
using namespace Vellix;

// The compact row draws the same pages with the compact properties on.
bool gCompact = false;

std::unique_ptr<TVellix> NewDocument(const std::string& aOut) {
  auto doc = std::make_unique<TVellix>();
  doc->SetLengthUnit(luPoint);
  doc->SetPaperSizeName("A4");
  doc->SetFileName(aOut);
  doc->SetCompressContent(gCompact);
  doc->SetShareImages(gCompact);
  return doc;
}

// The report, with each line in another script when aUnicode.
void DrawReportIn(int aPages, const std::string& aOut, bool aUnicode) {
  auto doc = NewDocument(aOut);
  if (aUnicode) doc->SetTextEncoding(teUtf8);
  TPdfCanvas& c = doc->Canvas();
  c.Font().SetName(aUnicode ? UnicodeFamily : "Liberation Sans");
  doc->BeginDoc();
  ReportPage page;
  for (int p = 0; p < aPages; ++p) {
    if (p > 0) doc->NewPage();
    page.Fill(p, aUnicode);
    c.Font().SetSize(HeaderSize);
    c.Font().SetStyle({fsBold});
    c.TextOut(40, 30, page.Header);
    c.Font().SetSize(TextSize);
    c.Font().SetStyle({});
    for (const TextLine& l : page.Lines) c.TextOut(l.X, l.Y, l.Text);
    c.Brush().SetStyle(bsClear);
    for (const Cell& cell : page.Cells) {
      c.Rectangle(cell.X, cell.Y, cell.X + cell.W, cell.Y + cell.H);
      c.TextOut(cell.X + 3, cell.Y + 4, cell.Text);
    }
    c.Brush().SetStyle(bsSolid);
  }
  doc->EndDoc();
}

void DrawReport(int aPages, const std::string& aOut) { DrawReportIn(aPages, aOut, false); }
void DrawUnicodeReport(int aPages, const std::string& aOut) { DrawReportIn(aPages, aOut, true); }

void DrawShapes(int aPages, const std::string& aOut) {
  auto doc = NewDocument(aOut);
  TPdfCanvas& c = doc->Canvas();
  c.Pen().SetColor(clNavy);
  c.Brush().SetColor(clYellow);
  doc->BeginDoc();
  Compare::Shapes s;
  for (int p = 0; p < aPages; ++p) {
    if (p > 0) doc->NewPage();
    s.Fill(p);
    for (const Line& l : s.Lines) {
      c.MoveTo(l.X1, l.Y1);
      c.LineTo(l.X2, l.Y2);
    }
    for (const Box& b : s.Rects) c.Rectangle(b.X1, b.Y1, b.X2, b.Y2);
    for (const Box& b : s.Ellipses) c.Ellipse(b.X1, b.Y1, b.X2, b.Y2);
    for (const Box& b : s.Arcs) c.Arc(b.X1, b.Y1, b.X2, b.Y2, b.X2, (b.Y1 + b.Y2) / 2, b.X1, (b.Y1 + b.Y2) / 2);
  }
  doc->EndDoc();
}

void DrawImages(int aPages, const std::string& aOut, const std::string& aPhoto) {
  TJPEGImage photo;
  photo.LoadFromFile(aPhoto);
  auto doc = NewDocument(aOut);
  doc->SetImageCompressMode(cpJpeg);
  TPdfCanvas& c = doc->Canvas();
  doc->BeginDoc();
  for (int p = 0; p < aPages; ++p) {
    if (p > 0) doc->NewPage();
    c.StretchDraw(Rect(PhotoBox.X1, PhotoBox.Y1, PhotoBox.X2, PhotoBox.Y2), &photo);
  }
  doc->EndDoc();
}
template <auto Draw, class... A>
void Compact(A... aArgs) {
  gCompact = true;
  Draw(aArgs...);
  gCompact = false;
}

void CompactReport(int aPages, const std::string& aOut) { Compact<DrawReport>(aPages, aOut); }
void CompactShapes(int aPages, const std::string& aOut) { Compact<DrawShapes>(aPages, aOut); }
void CompactUnicodeReport(int aPages, const std::string& aOut) { Compact<DrawUnicodeReport>(aPages, aOut); }
void CompactImages(int aPages, const std::string& aOut, const std::string& aPhoto) {
  Compact<DrawImages>(aPages, aOut, aPhoto);
}

}  // namespace

const Library VellixCompactLibrary = {
    "vellix-compact",
    "the same drawing with CompressContent and ShareImages on: content compressed, binary streams, the "
    "photograph's JPEG file written once and shared by every page",
    CompactReport, CompactShapes, CompactImages, CompactUnicodeReport};

const Library VellixLibrary = {
    "vellix",
    "streams page by page in constant memory; TrueType font not embedded (EmbedFonts off); content "
    "uncompressed; every placement re-encodes the picture as JPEG with ASCII85 (a new image object per page)",
    DrawReport, DrawShapes, DrawImages, DrawUnicodeReport};

}  // namespace Compare
