// Demonstration program: writes a sample document of several pages that
// shows what the library draws, and four companion documents. The sample
// begins with a table of contents that links to its sections, lists them as
// bookmarks, and shows "Page n of N" at the foot of every page.
//
// Usage: vellix-demo OUTPUT.pdf
//
// Writes OUTPUT.pdf (A4, tenths of a millimetre, images as JPEG) and, next
// to it, OUTPUT-images-none.pdf and OUTPUT-images-zlib.pdf (the images page
// in the two other image encodings: the encoding is a property of the whole
// document) and OUTPUT-stream.pdf (US Letter landscape in points, written
// into a memory stream and then saved), OUTPUT-compact.pdf (the sample
// again with the compact output on) and OUTPUT-unicode.pdf (a page of
// multilingual text: the text encoding too belongs to the whole document). Like every TVellix file name, a
// relative OUTPUT.pdf is taken from the current directory.

#include <cstdio>
#include <string>

#include "DemoPages.h"
#include "ReportPages.h"
#include "Vellix.h"

using namespace Vellix;
using namespace VellixDemo;

namespace {

// Returns the file name BeginDoc completed. aCompact turns on the compact
// output (compressed content, shared images): the same pages, a smaller file.
std::string WriteSample(const std::string& aFileName, bool aCompact = false) {
  TVellix pdf;
  pdf.SetFileName(aFileName);
  pdf.SetCompressContent(aCompact);
  pdf.SetShareImages(aCompact);
  pdf.SetTitle("Vellix demonstration");
  pdf.SetAuthor("Merovant");
  pdf.SetSubject("What the library draws");
  pdf.SetKeywords("PDF, canvas, demonstration");
  pdf.SetPaperSizeName("A4");       // the default, as is LengthUnit luTenth
  pdf.SetImageCompressMode(cpJpeg);  // the default too
  // Every page gets its footer as it begins.
  pdf.SetOnNewPage([&pdf](TObject*) { Footer(pdf); });
  pdf.BeginDoc();
  const std::vector<TSection> sections = {{"paper", "Paper sizes and units"}, {"pens", "Pens and brushes"},
                                          {"shapes", "Shapes"},             {"text", "Text"},
                                          {"images", "Images"},             {"report", "A report"}};
  ContentsPage(pdf, sections);
  pdf.AddOutline("Contents", 1, 1);
  void (*const pages[])(TVellix&) = {PaperPage, PensAndBrushesPage, ShapesPage, TextPage, ImagesPage, ReportPages};
  for (size_t i = 0; i < sections.size(); ++i) {
    pdf.NewPage();
    // A destination at the top of the section's first page, and its bookmark.
    pdf.AddDestination(sections[i].Name);
    pdf.AddOutlineToDestination(sections[i].Title, 1, sections[i].Name);
    pages[i](pdf);
  }
  pdf.EndDoc();
  std::printf("%d pages written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
  return pdf.FileName();
}

// The images page alone, in another encoding.
void WriteImages(const std::string& aFileName, TPdfCompressMode aMode) {
  TVellix pdf;
  pdf.SetFileName(aFileName);
  pdf.SetTitle("Vellix images");
  pdf.SetImageCompressMode(aMode);  // must be set before BeginDoc
  pdf.BeginDoc();
  ImagesPage(pdf);
  pdf.EndDoc();
  std::printf("%d page written to %s\n", pdf.PageNumber(), aFileName.c_str());
}

// A document written into the caller's stream instead of a file; here a
// memory stream that is saved at the end, as a web server would send it.
void WriteToStream(const std::string& aFileName) {
  TMemoryStream stream;
  TVellix pdf;
  pdf.SetOutStream(&stream);  // stays ours: the component never frees it
  pdf.SetTitle("Vellix in a stream");
  pdf.SetPaperSizeName("Letter");
  pdf.SetOrientation(poLandscape);
  pdf.SetLengthUnit(luPoint);  // coordinates in points, 1/72 inch
  pdf.BeginDoc();
  TPdfCanvas& c = pdf.Canvas();
  c.Font().SetName("Times New Roman");
  c.Font().SetSize(24);
  c.TextOut(100, 100, "US Letter, landscape, in points");
  c.Font().SetSize(12);
  c.TextOut(100, 150, "This page is " + std::to_string(pdf.PageWidth()) + " x " + std::to_string(pdf.PageHeight()) +
                         " points; the frame is one inch inside the edges.");
  c.Brush().SetStyle(bsClear);
  c.Pen().SetWidth(2);
  c.Rectangle(72, 72, pdf.PageWidth() - 72, pdf.PageHeight() - 72);
  pdf.EndDoc();
  stream.SaveToFile(aFileName);
  std::printf("%lld bytes written through a memory stream to %s\n", static_cast<long long>(stream.Size()),
              aFileName.c_str());
}

// A page of text in several scripts, right-to-left lines included, drawn
// with Unicode text: each line in the family's own glyphs or, where it has
// none, a fallback face's.
void WriteUnicode(const std::string& aFileName) {
  TVellix pdf;
  pdf.SetFileName(aFileName);
  pdf.SetTextEncoding(teUtf8);
  pdf.SetTitle("Vellix demonstration — Unicode text");
  pdf.SetAuthor("Merovant");
  pdf.BeginDoc();
  TPdfCanvas& canvas = pdf.Canvas();
  canvas.Font().SetName("DejaVu Sans");
  canvas.Font().SetSize(18);
  canvas.Font().SetStyle({fsBold});
  canvas.TextOut(200, 200, "One page, many scripts");
  canvas.Font().SetStyle({});
  canvas.Font().SetSize(12);
  static const char* const lines[][2] = {
      {"Latin", "Łukasiewicz, Dvořák, Ångström, naïve café, Straße"},
      {"Greek", "Καλημέρα κόσμε"},
      {"Cyrillic", "Съешь же ещё этих мягких французских булок"},
      {"Hebrew", "שלום עולם"},
      {"Arabic", "مرحبا بالعالم"},
      {"Devanagari", "नमस्ते दुनिया"},
      {"Chinese", "你好，世界"},
      {"Japanese", "こんにちは世界"},
  };
  int32_t y = 350;
  for (const auto& line : lines) {
    canvas.TextOut(200, y, line[0]);
    canvas.TextOut(600, y, line[1]);
    y += 70;
  }
  canvas.Font().SetSize(11);
  y += 50;
  canvas.TextOut(200, y, "A text box of mixed directions, aligned right:");
  canvas.DrawText(200, y + 60, 1200, 0, taRightJustify, vaTop,
                  "The word שלום means peace; مرحبا is a greeting.\n"
                  "עברית וערבית נכתבות מימין לשמאל, with English in between.");
  pdf.EndDoc();
  std::printf("%d page written to %s\n", pdf.PageNumber(), pdf.FileName().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    std::string stem = WriteSample(argv[1]);
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".pdf") == 0) stem.resize(stem.size() - 4);
    WriteImages(stem + "-images-none.pdf", cpNone);
    WriteImages(stem + "-images-zlib.pdf", cpZlib);
    WriteToStream(stem + "-stream.pdf");
    WriteSample(stem + "-compact.pdf", true);
    WriteUnicode(stem + "-unicode.pdf");
  } catch (const Exception& e) {
    // Errors of the library abort the open document (its partial file is
    // deleted) before they arrive here.
    std::fprintf(stderr, "vellix-demo: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
