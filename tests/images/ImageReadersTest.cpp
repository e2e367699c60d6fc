// Images written by the library, read back by independent PDF readers:
// extracted samples, validity, and what a rendered page shows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ImageTestUtil.h"
#include <vellix/Canvas.h>
#include <vellix/BitmapCanvas.h>
#include <vellix/JpegImage.h>
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using VellixTest::ReadersComplaints;
using VellixTest::RunProgram;
using VellixTest::WriteDocument;

namespace {

struct TPpm {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;  // RGB rows from the top
  uint32_t At(int x, int y) const {
    const uint8_t* p = &Pixels[(size_t(y) * Width + x) * 3];
    return (uint32_t(p[0]) << 16) | (p[1] << 8) | p[2];
  }
};

// Reads a binary PPM (P6, maxval 255) as pdfimages and pdftoppm write it.
TPpm ReadPpm(const std::string& aFile) {
  std::ifstream in(aFile, std::ios::binary);
  std::string magic;
  int maxval = 0;
  TPpm ppm;
  in >> magic >> ppm.Width >> ppm.Height >> maxval;
  in.get();
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(maxval, 255);
  ppm.Pixels.resize(size_t(ppm.Width) * ppm.Height * 3);
  in.read(reinterpret_cast<char*>(ppm.Pixels.data()), std::streamsize(ppm.Pixels.size()));
  return ppm;
}

// Extracts every image of aPdf with pdfimages, decoded to PPM, in painting order.
std::vector<TPpm> ExtractImages(const std::string& aPdf, const std::string& aRoot) {
  const auto run = RunProgram({"pdfimages", aPdf, aRoot});
  EXPECT_EQ(run.Status, 0) << run.Err;
  std::vector<TPpm> out;
  for (int i = 0;; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "-%03d.ppm", i);
    if (!std::filesystem::exists(aRoot + name)) break;
    out.push_back(ReadPpm(aRoot + name));
  }
  return out;
}

const char* ModeName(TPdfCompressMode aMode) { return aMode == cpNone ? "none" : aMode == cpZlib ? "zlib" : "jpeg"; }

}  // namespace

// Sizes whose sample counts are not multiples of 4 bytes leave a short last
// ASCII85 group; the extracted samples must still be exactly the bitmap's.
TEST(ImageReaders, ExtractedSamplesEqualTheBitmapExactlyOrWithinJpegTolerance) {
  ImageTest::TTempDir dir;
  std::vector<std::unique_ptr<TBitmap>> pictures;
  pictures.push_back(ImageTest::Noise(1, 1, 5));
  pictures.push_back(ImageTest::Noise(7, 5, 6));    // 105 bytes
  pictures.push_back(ImageTest::Noise(33, 17, 7));  // 1683 bytes
  pictures.push_back(ImageTest::Photo(120, 81));
  for (TPdfCompressMode mode : {cpNone, cpZlib, cpJpeg}) {
    SCOPED_TRACE(ModeName(mode));
    const std::string file = dir.File(std::string(ModeName(mode)) + ".pdf");
    WriteDocument(
        file,
        [&](TVellix& doc) {
          int32_t y = 0;
          for (const auto& p : pictures) {
            doc.Canvas().Draw(100, 100 + y, p.get());
            y += 400;
          }
        },
        [&](TVellix& doc) { doc.SetImageCompressMode(mode); });
    EXPECT_EQ(ReadersComplaints(file), "");
    const auto list = VellixTest::PdfImagesList(file);
    EXPECT_NE(list.Out.find(mode == cpJpeg ? "jpeg" : "image"), std::string::npos) << list.Out;
    // pdfimages lists them in the order the page paints them.
    const std::vector<TPpm> images = ExtractImages(file, dir.File(ModeName(mode)));
    ASSERT_EQ(images.size(), pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
      const TBitmap& source = *pictures[i];
      SCOPED_TRACE(source.Width());
      ASSERT_EQ(images[i].Width, source.Width());
      ASSERT_EQ(images[i].Height, source.Height());
      if (mode != cpJpeg) {
        EXPECT_EQ(images[i].Pixels, source.RGBData());
      } else if (source.Width() == 120) {  // noise is no fair test of a lossy coder
        EXPECT_LE(ImageTest::MeanDifference(images[i].Pixels, source.RGBData()), 2.0);
      }
    }
  }
}

TEST(ImageReaders, RenderedPageShowsTheImageInItsRectangle) {
  ImageTest::TTempDir dir;
  // Four solid quadrants: red, green / blue, black; mirrored horizontally by
  // the reversed rectangle of the second placement.
  auto quad = std::make_unique<TBitmap>(20, 20);
  const TColor colours[4] = {clRed, clLime, clBlue, clBlack};
  for (int q = 0; q < 4; ++q) {
    quad->Canvas().Brush().SetColor(colours[q]);
    quad->Canvas().FillRect(Rect((q % 2) * 10, (q / 2) * 10, (q % 2) * 10 + 10, (q / 2) * 10 + 10));
  }
  for (TPdfCompressMode mode : {cpNone, cpZlib, cpJpeg}) {
    SCOPED_TRACE(ModeName(mode));
    const std::string file = dir.File("render.pdf");
    // Points: the page is 72 units per inch, rendered at 72 dpi one pixel each.
    WriteDocument(
        file,
        [&](TVellix& doc) {
          doc.Canvas().StretchDraw(Rect(100, 100, 301, 201), quad.get());
          doc.Canvas().StretchDraw(Rect(501, 300, 300, 400), quad.get());
        },
        [&](TVellix& doc) {
          doc.SetLengthUnit(luPoint);
          doc.SetImageCompressMode(mode);
        });
    const auto run = VellixTest::PdfToPpm(file, {"-r", "72"}, dir.File("page"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const TPpm page = ReadPpm(dir.File("page-1.ppm"));
    auto near = [](uint32_t a, uint32_t b) {
      for (int s = 0; s < 24; s += 8)
        if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 40) return false;
      return true;
    };
    EXPECT_PRED2(near, page.At(150, 125), 0xFF0000u);
    EXPECT_PRED2(near, page.At(250, 125), 0x00FF00u);
    EXPECT_PRED2(near, page.At(150, 175), 0x0000FFu);
    EXPECT_PRED2(near, page.At(250, 175), 0x000000u);
    EXPECT_PRED2(near, page.At(90, 125), 0xFFFFFFu);   // left of the box
    EXPECT_PRED2(near, page.At(150, 205), 0xFFFFFFu);  // below it
    EXPECT_PRED2(near, page.At(350, 325), 0x00FF00u);  // mirrored: green at the left
    EXPECT_PRED2(near, page.At(450, 325), 0xFF0000u);
  }
}

TEST(ImageReaders, CopyRectAndNonBitmapGraphicsAreRasterisedAndReencoded) {
  ImageTest::TTempDir dir;
  auto source = ImageTest::Noise(40, 30, 9);
  TJPEGImage jpeg;
  jpeg.Assign(*ImageTest::Photo(48, 32));
  const std::string file = dir.File("copy.pdf");
  const std::string pdf = WriteDocument(
      file,
      [&](TVellix& doc) {
        doc.Canvas().CopyRect(Rect(100, 100, 600, 400), source->Canvas(), Rect(5, 7, 18, 12));
        doc.Canvas().CopyRect(Rect(100, 500, 600, 800), source->Canvas(), Rect(18, 7, 5, 12));  // mirrored
        doc.Canvas().Draw(100, 900, &jpeg);
      },
      [&](TVellix& doc) { doc.SetImageCompressMode(cpZlib); });
  EXPECT_EQ(ReadersComplaints(file), "");
  EXPECT_EQ(pdf.find("/DCTDecode"), std::string::npos);  // the JPEG was re-encoded
  const std::vector<TPpm> images = ExtractImages(file, dir.File("copy"));
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[2].Pixels, jpeg.RGBData());
  ASSERT_EQ(images[0].Width, 13);
  ASSERT_EQ(images[0].Height, 5);
  ASSERT_EQ(images[1].Width, 13);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) {
      const TColor c = source->Pixel(5 + x, 7 + y);
      const uint32_t rgb = (uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      ASSERT_EQ(images[0].At(x, y), rgb) << x << "," << y;
      ASSERT_EQ(images[1].At(12 - x, y), rgb) << x << "," << y;
    }
}
