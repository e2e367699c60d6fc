// The compact output: compressed content, binary streams, shared images and
// JPEG files passed through. Every document goes through the readers, and a
// compact page looks exactly like the classic one.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

void Picture(TBitmap& aBitmap, int aSeed) {
  aBitmap.SetSize(60, 40);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 60; ++x)
      aBitmap.Canvas().SetPixel(x, y, RGB(uint8_t(x * 4 + aSeed), uint8_t(y * 6), uint8_t((x ^ y) * 3)));
}

void DrawPage(TVellix& aDoc) {
  TPdfCanvas& c = aDoc.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetSize(14);
  c.TextOut(200, 200, "Compact and classic pages look the same");
  c.Brush().SetColor(clYellow);
  c.Ellipse(200, 400, 900, 800);
  c.RoundRect(1000, 400, 1800, 800, 100, 100);
  TBitmap picture;
  Picture(picture, 0);
  c.StretchDraw(Rect(200, 1000, 1400, 1800), &picture);
}

// Everything between "stream\r\n" and the end of line before "endstream" of
// the stream object whose dictionary holds aMarker.
std::string StreamAfter(const std::string& aPdf, const std::string& aMarker) {
  const size_t dictionary = aPdf.find(aMarker);
  if (dictionary == std::string::npos) return "";
  const size_t start = aPdf.find("stream\r\n", dictionary) + 8;
  const size_t length = std::stoul(aPdf.substr(aPdf.rfind("/Length ", start) + 8));
  return aPdf.substr(start, length);
}

std::set<std::string> ImageObjects(const std::string& aPdf) {
  std::set<std::string> objects;
  std::stringstream lines(PdfImagesList(aPdf).Out);
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::stringstream words(line);
    std::vector<std::string> row;
    for (std::string w; words >> w;) row.push_back(w);
    if (row.size() > 11) objects.insert(row[10]);  // the object number column
  }
  return objects;
}

}  // namespace

TEST(Compact, CompressedContentIsBinarySmallerAndLooksTheSame) {
  TTempDir dir;
  const std::string classic = dir.File("classic.pdf"), compact = dir.File("compact.pdf");
  const std::string classicBytes = WriteDocument(classic, DrawPage, [](TVellix& d) { d.SetImageCompressMode(cpZlib); });
  const std::string compactBytes = WriteDocument(compact, DrawPage, [](TVellix& d) {
    d.SetImageCompressMode(cpZlib);
    d.SetCompressContent(true);
  });
  EXPECT_EQ(ReadersComplaints(compact), "");
  EXPECT_EQ(MutoolDraw(compact).Status, 0);
  EXPECT_EQ(compactBytes.rfind("%PDF-1.3\r\n%\xE2\xE3\xCF\xD3\r\n", 0), 0u);
  EXPECT_NE(compactBytes.find("/Filter /FlateDecode\r\n>>\r\nstream\r\n"), std::string::npos);
  EXPECT_EQ(compactBytes.find("ASCII85Decode"), std::string::npos);
  EXPECT_LT(compactBytes.size(), classicBytes.size());
  EXPECT_EQ(PdfToText(compact).Out, PdfToText(classic).Out);

  // The same pixels at 50 dpi.
  PdfToPpm(classic, {"-r", "50", "-singlefile"}, dir.File("classic"));
  PdfToPpm(compact, {"-r", "50", "-singlefile"}, dir.File("compact"));
  const std::string a = ReadFileBytes(dir.File("classic.ppm")), b = ReadFileBytes(dir.File("compact.ppm"));
  ASSERT_GT(a.size(), 1000u);
  EXPECT_TRUE(a == b) << "the compact page renders differently";
}

TEST(Compact, TheSamePixelsPlacedAgainAreOneImageObject) {
  TTempDir dir;
  const std::string path = dir.File("shared.pdf");
  const std::string pdf = WriteDocument(
      path,
      [](TVellix& d) {
        TBitmap logo, other;
        Picture(logo, 0);
        Picture(other, 1);
        for (int page = 0; page < 3; ++page) {
          if (page > 0) d.NewPage();
          d.Canvas().Draw(100, 100, &logo);
          d.Canvas().StretchDraw(Rect(100, 500, 900, 900), &logo);  // another size on the page: the same image
        }
        d.Canvas().Draw(100, 1200, &other);
      },
      [](TVellix& d) {
        d.SetImageCompressMode(cpZlib);
        d.SetShareImages(true);
      });
  EXPECT_EQ(ReadersComplaints(path), "");
  size_t images = 0;
  for (size_t at = pdf.find("/Subtype /Image"); at != std::string::npos; at = pdf.find("/Subtype /Image", at + 1)) ++images;
  EXPECT_EQ(images, 2u);
  EXPECT_EQ(ImageObjects(path).size(), 2u);
  EXPECT_NE(pdf.find("/XObject <<\r\n /Im0 "), std::string::npos);
  EXPECT_EQ(pdf.find(" /Im2 "), std::string::npos);
}

TEST(Compact, ABaselineJpegFilePassesItsOwnBytes) {
  TTempDir dir;
  TBitmap source;
  Picture(source, 7);
  TJPEGImage made;
  made.Assign(source);
  made.SaveToFile(dir.File("photo.jpg"));
  const std::string file = ReadFileBytes(dir.File("photo.jpg"));
  TJPEGImage photo;
  photo.LoadFromFile(dir.File("photo.jpg"));
  ASSERT_EQ(photo.SourceBytes().size(), file.size());

  const std::string path = dir.File("photo.pdf");
  const std::string pdf = WriteDocument(
      path, [&](TVellix& d) { d.Canvas().StretchDraw(Rect(100, 100, 1300, 900), &photo); },
      [](TVellix& d) { d.SetShareImages(true); });
  EXPECT_EQ(ReadersComplaints(path), "");
  EXPECT_EQ(StreamAfter(pdf, "/Filter /DCTDecode"), file);
  EXPECT_NE(PdfImagesList(path).Out.find("   60    40  rgb     3   8  jpeg"), std::string::npos) << PdfImagesList(path).Out;

  // Without sharing, the classic way: decoded, encoded again, in ASCII85.
  const std::string classic = WriteDocument(dir.File("classic.pdf"),
                                            [&](TVellix& d) { d.Canvas().StretchDraw(Rect(100, 100, 1300, 900), &photo); });
  EXPECT_NE(classic.find("/Filter [/ASCII85Decode /DCTDecode]"), std::string::npos);
}

// A progressive or CMYK file is encoded again as baseline RGB, the form every
// reader draws; a truncated one is refused when loaded, as it always was.
TEST(Compact, OtherJpegFilesAreEncodedAgainAndBrokenOnesRefused) {
  TTempDir dir;
  for (const char* options : {"-interlace Plane", "-colorspace CMYK"}) {
    SCOPED_TRACE(options);
    const std::string jpg = dir.File("other.jpg");
    ASSERT_EQ(RunProgram({"sh", "-c", std::string("convert -size 40x30 gradient:red-blue ") + options + " " + jpg}).Status, 0);
    TJPEGImage photo;
    photo.LoadFromFile(jpg);
    EXPECT_TRUE(photo.SourceBytes().empty());
    const std::string path = dir.File("other.pdf");
    const std::string pdf = WriteDocument(
        path, [&](TVellix& d) { d.Canvas().Draw(100, 100, &photo); }, [](TVellix& d) { d.SetShareImages(true); });
    EXPECT_EQ(ReadersComplaints(path), "");
    EXPECT_NE(StreamAfter(pdf, "/Filter /DCTDecode"), ReadFileBytes(jpg));
    EXPECT_NE(pdf.find("/ColorSpace /DeviceRGB"), std::string::npos);
  }
  const std::string whole = dir.File("whole.jpg"), cut = dir.File("cut.jpg");
  ASSERT_EQ(RunProgram({"convert", "-size", "40x30", "gradient:red-blue", whole}).Status, 0);
  const std::string bytes = ReadFileBytes(whole);
  TFileStream(cut, fmCreate).WriteBuffer(bytes.data(), int64_t(bytes.size() / 2));
  TJPEGImage broken;
  const std::string message = MessageOf([&] { broken.LoadFromFile(cut); });
  EXPECT_EQ(message.rfind("JPEG error: ", 0), 0u) << message;
  EXPECT_TRUE(broken.Empty());
}

// A file whose compressed data is damaged but whose markers are whole loads
// (its pixels are not decoded yet). A placement that encodes the pixels
// raises the loader's error and leaves the document sound; passed through,
// the file goes into the document as it is, as the reader would see it.
TEST(Compact, DamagedCompressedDataIsFoundWhenThePixelsAreRead) {
  TTempDir dir;
  const std::string whole = dir.File("whole.jpg"), damaged = dir.File("damaged.jpg");
  ASSERT_EQ(RunProgram({"convert", "-size", "80x60", "plasma:", "-quality", "90", whole}).Status, 0);
  std::string bytes = ReadFileBytes(whole);
  bytes.resize(bytes.size() * 2 / 3);
  bytes += "\xFF\xD9";
  TFileStream(damaged, fmCreate).WriteBuffer(bytes.data(), int64_t(bytes.size()));
  TJPEGImage photo;
  photo.LoadFromFile(damaged);
  ASSERT_EQ(photo.Width(), 80);

  const std::string path = dir.File("classic.pdf");
  TVellix doc;
  doc.SetFileName(path);
  doc.BeginDoc();
  const std::string message = MessageOf([&] { doc.Canvas().StretchDraw(Rect(100, 100, 900, 700), &photo); });
  EXPECT_EQ(message.rfind("JPEG error: ", 0), 0u) << message;
  EXPECT_TRUE(doc.Printing());
  doc.Canvas().TextOut(100, 100, "still sound");
  doc.EndDoc();
  EXPECT_EQ(ReadersComplaints(path), "");

  const std::string pdf = WriteDocument(
      dir.File("compact.pdf"), [&](TVellix& d) { d.Canvas().StretchDraw(Rect(100, 100, 900, 700), &photo); },
      [](TVellix& d) { d.SetShareImages(true); });
  EXPECT_EQ(StreamAfter(pdf, "/Filter /DCTDecode"), bytes);
}

TEST(Compact, EmbeddedFontsAreBinaryToo) {
  TTempDir dir;
  const std::string path = dir.File("font.pdf");
  const std::string pdf = WriteDocument(
      path,
      [](TVellix& d) {
        d.Canvas().Font().SetName("Liberation Mono");
        d.Canvas().TextOut(100, 100, "An embedded program without ASCII85");
      },
      [](TVellix& d) {
        d.SetEmbedFonts(true);
        d.SetCompressContent(true);
      });
  EXPECT_EQ(ReadersComplaints(path), "");
  EXPECT_NE(pdf.find("/Filter /FlateDecode\r\n/Length "), std::string::npos);
  EXPECT_NE(PdfFonts(path).Out.find("yes"), std::string::npos);
}

namespace {

// The colour of the pixel at (aX, aY) of a binary PPM file.
std::string PixelOf(const std::string& aPpm, int aX, int aY) {
  std::stringstream head(aPpm);
  std::string magic;
  int width = 0, height = 0, depth = 0;
  head >> magic >> width >> height >> depth;
  const size_t start = size_t(head.tellg()) + 1;
  return aPpm.substr(start + (size_t(aY) * size_t(width) + size_t(aX)) * 3, 3);
}

}  // namespace

// A logo with a transparent background on a coloured band: kept as a soft
// mask the band shows through; composed over white (the classic way) the
// logo sits in a white box.
TEST(Compact, KeptTransparencyLetsTheBackgroundShowThrough) {
  TTempDir dir;
  const std::string logo = dir.File("logo.png");
  ASSERT_EQ(RunProgram({"convert", "-size", "40x40", "xc:none", "-fill", "red", "-draw", "circle 20,20 20,8", logo}).Status, 0);
  TPngImage png;
  png.LoadFromFile(logo);
  ASSERT_FALSE(png.Alpha().empty());
  const auto draw = [&](TVellix& d) {
    TPdfCanvas& c = d.Canvas();
    c.Brush().SetColor(clBlue);
    c.Pen().SetStyle(psClear);
    c.Rectangle(0, 0, 400, 200);
    c.StretchDraw(Rect(100, 50, 200, 150), &png);
  };
  for (bool keep : {true, false}) {
    SCOPED_TRACE(keep);
    const std::string path = dir.File(keep ? "kept.pdf" : "white.pdf");
    const std::string pdf = WriteDocument(
        path, [&](TVellix& d) { draw(d); }, [&](TVellix& d) {
          d.SetLengthUnit(luPoint);
          d.SetImageCompressMode(cpZlib);
          d.SetKeepTransparency(keep);
        });
    EXPECT_EQ(ReadersComplaints(path), "");
    EXPECT_EQ(MutoolDraw(path).Status, 0);
    EXPECT_EQ(pdf.rfind(keep ? "%PDF-1.4\r\n" : "%PDF-1.3\r\n", 0), 0u);
    EXPECT_EQ(pdf.find("/SMask ") != std::string::npos, keep);
    PdfToPpm(path, {"-r", "72", "-singlefile"}, dir.File("page"));
    const std::string ppm = ReadFileBytes(dir.File("page.ppm"));
    // A corner of the logo's box, and its centre.
    const std::string corner = PixelOf(ppm, 103, 53), centre = PixelOf(ppm, 150, 100);
    EXPECT_EQ(corner, keep ? std::string("\x00\x00\xFF", 3) : std::string("\xFF\xFF\xFF", 3));
    EXPECT_EQ(uint8_t(centre[0]), 255);
    EXPECT_EQ(uint8_t(centre[2]), 0);
  }
}

// Pages are compressed on a thread of their own while the next is drawn. A
// document aborted with a page still in the compressor leaves nothing
// behind, and the next document (same component) is whole; every page's
// content arrives, in order, whichever writes come between.
TEST(Compact, PagesCompressedBesideTheDrawingArriveWholeAndInOrder) {
  TTempDir dir;
  TVellix doc;
  doc.SetCompressContent(true);
  doc.SetFileName(dir.File("aborted.pdf"));
  doc.BeginDoc();
  doc.Canvas().TextOut(100, 100, "first page");
  for (int i = 0; i < 900; ++i) doc.Canvas().Rectangle(100 + i, 300, 400 + i, 600 + i);
  doc.NewPage();
  doc.Abort();
  EXPECT_FALSE(FileExists(dir.File("aborted.pdf")));

  const std::string path = dir.File("pages.pdf");
  doc.SetFileName(path);
  doc.BeginDoc();
  const char* fonts[] = {"Arial", "Times New Roman", "Courier New"};
  for (int page = 0; page < 12; ++page) {
    if (page > 0) doc.NewPage();
    // A font first used mid-document is written while the previous page
    // may still be in the compressor.
    doc.Canvas().Font().SetName(fonts[page % 3]);
    doc.Canvas().TextOut(100, 100, "page " + std::to_string(page + 1));
    // Enough lines that the page goes to the compressor's thread (small
    // pages are compressed at once).
    for (int i = 0; i < 900; ++i) doc.Canvas().Rectangle(100 + i, 300, 400 + i, 600 + i);
  }
  doc.EndDoc();
  EXPECT_EQ(ReadersComplaints(path), "");
  const std::string text = PdfToText(path).Out;
  size_t at = 0;
  for (int page = 1; page <= 12; ++page) {
    at = text.find("page " + std::to_string(page), at);
    ASSERT_NE(at, std::string::npos) << page;
  }
}
