// Placing images on a page: the content lines, the image objects, their
// order and names, and the document's state after errors.

#include <gtest/gtest.h>

#include <regex>

#include "ImageTestUtil.h"
#include <vellix/Canvas.h>
#include "canvas/PdfImage.h"
#include <vellix/BitmapCanvas.h>
#include <vellix/JpegImage.h>
#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;
using VellixTest::ReadersComplaints;
using VellixTest::WriteDocument;
using VellixTest::WriteDocumentToMemory;

namespace {

using TLines = std::vector<std::string>;

// The objects of a file as (number, first dictionary line after "<<") in file order.
std::vector<std::pair<int, std::string>> Objects(const std::string& aPdf) {
  std::vector<std::pair<int, std::string>> out;
  static const std::regex head("(\\d+) 0 obj\r\n(?:<<\r\n)?([^\r]*)\r\n");
  for (auto it = std::sregex_iterator(aPdf.begin(), aPdf.end(), head); it != std::sregex_iterator(); ++it)
    out.emplace_back(std::stoi((*it)[1]), (*it)[2]);
  return out;
}

// The lines of the shared resources' /XObject block, or "" when there is none.
std::string XObjectBlock(const std::string& aPdf) {
  const size_t at = aPdf.find("/XObject <<\r\n");
  if (at == std::string::npos) return "";
  return aPdf.substr(at, aPdf.find(" >>\r\n", at) + 5 - at);
}

}  // namespace

TEST(PdfImagePlacement, ScalesIntoTheRectangleOneUnitSmallerAsTheExampleShows) {
  auto picture = std::make_unique<TBitmap>(681, 490);
  TVellix doc;
  TMemoryStream out;
  doc.SetOutStream(&out);
  doc.BeginDoc();
  doc.Canvas().StretchDraw(Rect(750, 200, 1350, 632), picture.get());
  EXPECT_EQ(doc.Canvas().PdfStream().Lines(), (TLines{"q", "169.795 0 0 122.173 212.598 662.74 cm", "/Im0 Do", "Q"}));
  ASSERT_EQ(Resources(doc).ImageCount(), 1);
  EXPECT_EQ(Resources(doc).ImageObjectNo(0), 0);
  EXPECT_EQ(Resources(doc).PendingImage(0)->Width(), 681);
  EXPECT_EQ(Resources(doc).PendingImage(0)->Height(), 490);
  // Natural size: 96 pixels at 96 dots per inch are an inch, 254 tenths of a
  // millimetre; the box is 253 of them (71.717 points).
  auto icon = std::make_unique<TBitmap>(96, 96);
  doc.Canvas().Draw(100, 200, icon.get());
  EXPECT_EQ(doc.Canvas().PdfStream()[5], "71.717 0 0 71.717 28.346 713.197 cm");
  EXPECT_EQ(doc.Canvas().PdfStream()[6], "/Im1 Do");
  // A reversed rectangle mirrors through a negative scale.
  doc.Canvas().StretchDraw(Rect(354, 200, 100, 454), icon.get());
  EXPECT_EQ(doc.Canvas().PdfStream()[9], "-72.283 0 0 71.717 100.346 713.197 cm");
  doc.EndDoc();
}

TEST(PdfImagePlacement, DrawInPointsUsesSeventyTwoPerInch) {
  auto icon = std::make_unique<TBitmap>(96, 48);
  TVellix doc;
  TMemoryStream out;
  doc.SetOutStream(&out);
  doc.SetLengthUnit(luPoint);
  doc.BeginDoc();
  doc.Canvas().Draw(10, 20, icon.get());
  EXPECT_EQ(doc.Canvas().PdfStream()[1], "71 0 0 35 10 " + FormatPdfNumber(doc.PageHeight() - 56) + " cm");
  doc.EndDoc();
}

TEST(PdfImagePlacement, EmptyRectanglesAndEmptyGraphicsDrawNothing) {
  auto bmp = std::make_unique<TBitmap>(4, 4);
  auto empty = std::make_unique<TBitmap>();
  auto flat = std::make_unique<TBitmap>(5, 0);
  const std::string pdf = WriteDocumentToMemory([&](TVellix& doc) {
    doc.Canvas().StretchDraw(Rect(10, 10, 10, 50), bmp.get());
    doc.Canvas().StretchDraw(Rect(10, 10, 50, 10), bmp.get());
    doc.Canvas().StretchDraw(Rect(10, 10, 50, 50), empty.get());
    doc.Canvas().Draw(10, 10, flat.get());
    doc.Canvas().CopyRect(Rect(0, 0, 100, 100), bmp->Canvas(), Rect(2, 2, 2, 4));
    EXPECT_TRUE(doc.Canvas().PdfStream().empty());
    EXPECT_EQ(Resources(doc).ImageCount(), 0);
  });
  EXPECT_EQ(XObjectBlock(pdf), "");
  EXPECT_EQ(pdf.find("/XObject"), std::string::npos);
}

TEST(PdfImagePlacement, MissingGraphicAbortsAndClosedDocumentsRefuse) {
  auto bmp = std::make_unique<TBitmap>(2, 2);
  for (int variant = 0; variant < 2; ++variant) {
    TVellix doc;
    TMemoryStream out;
    doc.SetOutStream(&out);
    doc.BeginDoc();
    try {
      if (variant == 0) doc.Canvas().Draw(0, 0, nullptr);
      else doc.Canvas().StretchDraw(Rect(0, 0, 10, 10), nullptr);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Invalid method call");
    }
    EXPECT_TRUE(doc.Aborted());
    EXPECT_FALSE(doc.Printing());
    doc.Canvas().Draw(0, 0, bmp.get());  // silent after an abort
    doc.Canvas().Draw(0, 0, nullptr);
    EXPECT_EQ(Resources(doc).ImageCount(), 0);
  }
  TVellix idle;
  try {
    idle.Canvas().Draw(0, 0, bmp.get());
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Document not opened");
  }
}

TEST(PdfImageObjects, ImageDictionaryLinesAndDataForEachMode) {
  auto bmp = ImageTest::Noise(3, 2);
  const std::pair<TPdfCompressMode, const char*> modes[] = {
      {cpNone, "/Filter [/ASCII85Decode]"},
      {cpZlib, "/Filter [/ASCII85Decode /FlateDecode]"},
      {cpJpeg, "/Filter [/ASCII85Decode /DCTDecode]"}};
  for (const auto& [mode, filter] : modes) {
    std::string code;
    const std::string pdf = WriteDocumentToMemory(
        [&](TVellix& doc) {
          doc.Canvas().StretchDraw(Rect(0, 0, 300, 200), bmp.get());
          code = Resources(doc).PendingImage(0)->Code();
        },
        [&](TVellix& doc) { doc.SetImageCompressMode(mode); });
    ASSERT_GE(code.size(), 2u);
    EXPECT_EQ(code.substr(code.size() - 2), "~>");
    const std::string expected = "6 0 obj\r\n<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Width 3\r\n/Height 2\r\n"
                                 "/ColorSpace /DeviceRGB\r\n/BitsPerComponent 8\r\n/Length " +
                                 std::to_string(code.size()) + "\r\n" + filter + "\r\n>>\r\nstream\r\n" + code +
                                 "endstream\r\nendobj\r\n7 0 obj\r\n";
    EXPECT_NE(pdf.find(expected), std::string::npos) << filter;
    EXPECT_NE(pdf.find("/XObject <<\r\n /Im0 6 0 R\r\n >>\r\n"), std::string::npos);
    if (mode == cpNone) {
      // 18 sample bytes: four full ASCII85 groups and a last group of two bytes.
      EXPECT_EQ(code.size(), 5u * 5 + 2);
    }
  }
}

TEST(PdfImageObjects, OrderNamesAndReleaseAcrossPages) {
  auto a = ImageTest::Noise(4, 3, 1);
  auto b = ImageTest::Noise(5, 2, 2);
  ImageTest::TTempDir dir;
  const std::string pdf = WriteDocument(dir.File("order.pdf"), [&](TVellix& doc) {
    // Page 1: two images, and the same bitmap once more.
    doc.Canvas().Draw(0, 0, a.get());
    doc.Canvas().Draw(100, 0, b.get());
    doc.Canvas().Draw(200, 0, a.get());
    EXPECT_EQ(doc.Canvas().PdfStream()[10], "/Im2 Do");
    doc.NewPage();
    // Written and released with their page; the names stay in the list.
    ASSERT_EQ(Resources(doc).ImageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Resources(doc).PendingImage(i), nullptr);
    EXPECT_EQ(Resources(doc).ImageObjectNo(0), 8);
    EXPECT_EQ(Resources(doc).ImageObjectNo(1), 7);
    EXPECT_EQ(Resources(doc).ImageObjectNo(2), 6);
    // Page 2: one image; its walk stops at page 1's written entries.
    doc.Canvas().Draw(0, 0, b.get());
    doc.NewPage();  // page 3: none
  });
  using TObjs = std::vector<std::pair<int, std::string>>;
  const TObjs expected = {{1, "/CreationDate(D:20240102030405)"},
                          {2, "/Type /Catalog"},
                          {5, "/Length"},
                          {6, "/Type /XObject"},
                          {7, "/Type /XObject"},
                          {8, "/Type /XObject"},
                          {9, "/Type /Page"},
                          {10, "/Length"},
                          {11, "/Type /XObject"},
                          {12, "/Type /Page"},
                          {13, "/Length"},
                          {14, "/Type /Page"},
                          {3, "/Type /Pages"},
                          {4, "/Font <<"}};
  TObjs got = Objects(pdf);
  for (auto& [n, line] : got)
    if (line.rfind("/Length ", 0) == 0) line = "/Length";
  EXPECT_EQ(got, expected);
  EXPECT_NE(pdf.find("6 0 obj\r\n<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Width 4\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("7 0 obj\r\n<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Width 5\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("8 0 obj\r\n<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Width 4\r\n"), std::string::npos);
  EXPECT_EQ(XObjectBlock(pdf), "/XObject <<\r\n /Im0 8 0 R\r\n /Im1 7 0 R\r\n /Im2 6 0 R\r\n /Im3 11 0 R\r\n >>\r\n");
  EXPECT_EQ(ReadersComplaints(dir.File("order.pdf")), "");
  EXPECT_TRUE(VellixTest::CheckPdfContents(pdf).empty());
  EXPECT_TRUE(VellixTest::CheckXref(pdf).empty());
}

TEST(PdfImageObjects, FailedEncodingLeavesNoTraceAndTheDocumentGoesOn) {
  // JPEG cannot hold more than 65500 pixels a side: the encoder refuses.
  auto wide = std::make_unique<TBitmap>(65501, 1);
  auto small = ImageTest::Noise(3, 3);
  ImageTest::TTempDir dir;
  const std::string pdf = WriteDocument(dir.File("failed.pdf"), [&](TVellix& doc) {
    doc.Canvas().Draw(0, 0, small.get());
    const TLines before = doc.Canvas().PdfStream().Lines();
    EXPECT_THROW(doc.Canvas().StretchDraw(Rect(0, 0, 100, 100), wide.get()), EInvalidGraphic);
    EXPECT_TRUE(doc.Printing());
    EXPECT_FALSE(doc.Aborted());
    EXPECT_EQ(doc.Canvas().PdfStream().Lines(), before);
    EXPECT_EQ(Resources(doc).ImageCount(), 1);
    doc.Canvas().Draw(0, 0, small.get());
    EXPECT_EQ(doc.Canvas().PdfStream().back(), "Q");
    EXPECT_EQ(doc.Canvas().PdfStream()[6], "/Im1 Do");
  });
  EXPECT_EQ(XObjectBlock(pdf), "/XObject <<\r\n /Im0 7 0 R\r\n /Im1 6 0 R\r\n >>\r\n");
  EXPECT_EQ(ReadersComplaints(dir.File("failed.pdf")), "");
}

TEST(PdfImageObjects, ImagesOfAnAbortedPageAreReleasedByTheNextDocument) {
  auto bmp = ImageTest::Noise(8, 8);
  TVellix doc;
  TMemoryStream out;
  doc.SetOutStream(&out);
  doc.BeginDoc();
  doc.Canvas().Draw(0, 0, bmp.get());
  doc.Canvas().Draw(0, 0, bmp.get());
  doc.Abort();
  doc.BeginDoc();
  EXPECT_EQ(Resources(doc).ImageCount(), 0);
  doc.Canvas().Draw(0, 0, bmp.get());
  EXPECT_EQ(doc.Canvas().PdfStream()[2], "/Im0 Do");
  doc.EndDoc();
  // Leak checking (sanitizer builds) covers the images left in an open
  // document when the component is destroyed.
  TVellix open;
  open.SetOutStream(&out);
  open.BeginDoc();
  open.Canvas().Draw(0, 0, bmp.get());
}
