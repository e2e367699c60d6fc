// The BMP, JPEG and PNG loaders and savers, checked against files written by
// independent writers (a Python script, ImageMagick) and against broken files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "ImageTestUtil.h"
#include <vellix/Bitmap.h>
#include <vellix/Canvas.h>
#include <vellix/Document.h>
#include <vellix/JpegImage.h>
#include <vellix/PngImage.h>

using namespace Vellix;
using namespace ImageTest;

namespace {

std::vector<uint8_t> Pixels(const TGraphic& aGraphic) { return aGraphic.RGBData(); }

std::unique_ptr<TGraphic> GraphicFor(const std::string& aExtension) {
  if (aExtension == ".bmp") return std::make_unique<TBitmap>();
  if (aExtension == ".png") return std::make_unique<TPngImage>();
  return std::make_unique<TJPEGImage>();
}

// Loads aData with a fresh graphic of the kind of aExtension.
void LoadBytes(TGraphic& aGraphic, const std::vector<uint8_t>& aData) {
  TMemoryStream stream;
  stream.WriteBuffer(aData.data(), int64_t(aData.size()));
  stream.SetPosition(0);
  aGraphic.LoadFromStream(stream);
}

std::vector<uint8_t> SaveBytes(const TGraphic& aGraphic) {
  TMemoryStream stream;
  aGraphic.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

}  // namespace

TEST(GraphicLoaders, ReadEveryVariantOfAnIndependentWriter) {
  if (!HaveProgram("python3")) GTEST_SKIP() << "python3 not installed";
  TTempDir dir;
  ASSERT_EQ(RunCommand("python3 " SAMPLES_SCRIPT " " + dir.Path().string()), 0);
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    if (entry.path().extension() != ".rgb") continue;
    std::ifstream expect(entry.path(), std::ios::binary);
    int w = 0, h = 0, tolerance = 0;
    expect >> w >> h >> tolerance;
    expect.get();
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    expect.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    const bool png = entry.path().stem().string().rfind("png", 0) == 0;
    std::filesystem::path file = entry.path();
    file.replace_extension(png ? ".png" : ".bmp");
    auto graphic = GraphicFor(file.extension().string());
    SCOPED_TRACE(file.filename().string());
    graphic->LoadFromFile(file.string());
    EXPECT_EQ(graphic->Width(), w);
    EXPECT_EQ(graphic->Height(), h);
    EXPECT_LE(MaxDifference(Pixels(*graphic), rgb), tolerance);
    ++checked;
  }
  EXPECT_GE(checked, 16);
}

TEST(GraphicLoaders, BitmapAndPngSaversRoundTripExactly) {
  TTempDir dir;
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {7, 2}, {64, 9}}) {
    const auto sourcePtr = Noise(w, h, uint32_t(w * 31 + h));
    const TBitmap& source = *sourcePtr;
    TBitmap bmp;
    bmp.Assign(source);
    bmp.SaveToFile(dir.File("a.bmp"));
    TBitmap back;
    back.LoadFromFile(dir.File("a.bmp"));
    EXPECT_EQ(back.Width(), w);
    EXPECT_EQ(back.RGBData(), source.RGBData());
    TPngImage png;
    png.Assign(source);
    png.SaveToFile(dir.File("a.png"));
    TPngImage pngBack;
    pngBack.LoadFromFile(dir.File("a.png"));
    EXPECT_EQ(pngBack.RGBData(), source.RGBData());
    if (HaveProgram("convert")) {  // an independent reader sees the same pixels
      for (const char* name : {"a.bmp", "a.png"}) {
        const std::string rgb = Capture("convert " + dir.File(name) + " -depth 8 rgb:-");
        EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.end()), source.RGBData()) << name;
      }
    }
  }
}

TEST(GraphicLoaders, JpegSaverWritesBaselineAtQualityNinetyThatDecodesClose) {
  const auto photoPtr = Photo(97, 61);
  const TBitmap& photo = *photoPtr;  // sizes not multiples of the 16-pixel blocks
  TJPEGImage jpeg;
  jpeg.Assign(photo);
  EXPECT_EQ(jpeg.CompressionQuality(), 90);
  const std::vector<uint8_t> file = jpeg.Encode();
  ASSERT_GT(file.size(), 4u);
  EXPECT_EQ(file[0], 0xFF);
  EXPECT_EQ(file[1], 0xD8);
  // A baseline frame header (SOF0) and no progressive one (SOF2).
  bool sof0 = false, sof2 = false;
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF) sof0 |= file[i + 1] == 0xC0, sof2 |= file[i + 1] == 0xC2;
  EXPECT_TRUE(sof0);
  EXPECT_FALSE(sof2);
  TJPEGImage back;
  LoadBytes(back, file);
  EXPECT_EQ(back.Width(), 97);
  EXPECT_EQ(back.Height(), 61);
  EXPECT_LE(MeanDifference(back.RGBData(), photo.RGBData()), 2.0);
  if (HaveProgram("convert")) {
    TTempDir dir;
    WriteFile(dir.File("a.jpg"), file);
    EXPECT_EQ(Capture("identify -format %Q " + dir.File("a.jpg")), "90");
    const std::string rgb = Capture("convert " + dir.File("a.jpg") + " -depth 8 rgb:-");
    EXPECT_LE(MaxDifference(std::vector<uint8_t>(rgb.begin(), rgb.end()), back.RGBData()), 2);
  }
}

TEST(GraphicLoaders, JpegLoaderReadsProgressiveGreyAndCmykFiles) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick not installed";
  TTempDir dir;
  const auto photoPtr = Photo(50, 30);
  const TBitmap& photo = *photoPtr;
  photo.SaveToFile(dir.File("src.bmp"));
  struct Case {
    const char* Options;
    int Tolerance;
  };
  for (const Case& c : {Case{"-interlace JPEG -quality 95", 2}, Case{"-colorspace Gray -quality 95", 255},
                        Case{"-colorspace CMYK -quality 95", 3}}) {
    SCOPED_TRACE(c.Options);
    ASSERT_EQ(RunCommand("convert " + dir.File("src.bmp") + " " + c.Options + " " + dir.File("out.jpg")), 0);
    TJPEGImage jpeg;
    jpeg.LoadFromFile(dir.File("out.jpg"));
    ASSERT_EQ(jpeg.Width(), 50);
    ASSERT_EQ(jpeg.Height(), 30);
    EXPECT_LE(MeanDifference(jpeg.RGBData(), photo.RGBData()), c.Tolerance);
    if (std::string(c.Options).find("Gray") != std::string::npos) {
      const uint8_t* p = jpeg.ScanLine(10) + 30;
      EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
    }
  }
}

// Every prefix length and many single-byte changes of a valid file either
// load or raise EInvalidGraphic with the format's message; none may crash,
// read out of bounds or allocate the size a damaged header claims.
TEST(GraphicLoaders, BrokenFilesRaiseAClearErrorAndLeaveTheGraphicAlone) {
  const auto sourcePtr = Noise(19, 11, 7);
  const TBitmap& source = *sourcePtr;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  {
    TBitmap b;
    b.Assign(source);
    files.emplace_back(".bmp", SaveBytes(b));
    TJPEGImage j;
    j.Assign(source);
    files.emplace_back(".jpg", SaveBytes(j));
    TPngImage p;
    p.Assign(source);
    files.emplace_back(".png", SaveBytes(p));
  }
  const std::map<std::string, std::string> prefix = {
      {".bmp", "Invalid bitmap"}, {".jpg", "JPEG error"}, {".png", "PNG error"}};
  std::mt19937 rng(42);
  for (const auto& [ext, good] : files) {
    SCOPED_TRACE(ext);
    auto graphic = GraphicFor(ext);
    LoadBytes(*graphic, good);
    const std::vector<uint8_t> loaded = graphic->RGBData();
    auto expectRefused = [&](const std::vector<uint8_t>& aBad) {
      try {
        LoadBytes(*graphic, aBad);
        return false;
      } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.Message()).rfind(prefix.at(ext), 0), 0u) << e.Message();
        EXPECT_EQ(graphic->Width(), 19);
        EXPECT_EQ(graphic->RGBData(), loaded);
        return true;
      }
    };
    // Every truncation (the JPEG end marker alone may go: decoders accept that).
    for (size_t n = 0; n + (ext == ".jpg" ? 2 : 1) < good.size(); n += (n < 200 ? 1 : 37)) {
      SCOPED_TRACE(n);
      EXPECT_TRUE(expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + long(n))));
    }
    for (int i = 0; i < 300; ++i) {
      std::vector<uint8_t> bad = good;
      for (int k = 0; k < 1 + i % 3; ++k) bad[rng() % bad.size()] = uint8_t(rng());
      expectRefused(bad);
      LoadBytes(*graphic, good);
    }
  }
}

TEST(GraphicLoaders, HeadersAskingForHugePicturesAreRefusedBeforeAllocating) {
  TBitmap small(2, 2);
  std::vector<uint8_t> bmp = SaveBytes(small);
  bmp[18] = bmp[19] = bmp[20] = 0xFF, bmp[21] = 0x7F;  // width 2^31 - 1
  TBitmap b;
  try {
    LoadBytes(b, bmp);
    FAIL() << "accepted";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("too large"), std::string::npos) << e.Message();
  }
  bmp = SaveBytes(small);
  bmp[18] = 0x00, bmp[19] = 0x40;  // 16384 x 2: fine in size, but the pixel data is missing
  EXPECT_THROW(LoadBytes(b, bmp), EInvalidGraphic);
  bmp = SaveBytes(small);
  bmp[28] = 2;  // 2 bits per pixel does not exist
  EXPECT_THROW(LoadBytes(b, bmp), EInvalidGraphic);
  bmp[28] = 8, bmp[30] = 1;  // run-length compressed
  EXPECT_THROW(LoadBytes(b, bmp), EInvalidGraphic);

  TPngImage png;
  png.Assign(small);
  std::vector<uint8_t> data = SaveBytes(png);
  // Width and height 30000 in the header: the file is far too small for them.
  data[16] = 0, data[17] = 0, data[18] = 0x75, data[19] = 0x30;
  data[20] = 0, data[21] = 0, data[22] = 0x75, data[23] = 0x30;
  TPngImage p;
  EXPECT_THROW(LoadBytes(p, data), EInvalidGraphic);  // CRC or size: refused either way

  EXPECT_THROW(TJPEGImage().SaveToStream(*std::make_unique<TMemoryStream>()), EInvalidGraphic);
  EXPECT_THROW(TBitmap(-1, 5), EInvalidGraphic);
}

TEST(GraphicLoaders, PngLoaderReadsInterlacedAndGreyAlphaFilesOfImageMagick) {
  if (!HaveProgram("convert")) GTEST_SKIP() << "ImageMagick not installed";
  TTempDir dir;
  const auto noise = Noise(13, 9, 3);
  noise->SaveToFile(dir.File("src.bmp"));
  ASSERT_EQ(RunCommand("convert " + dir.File("src.bmp") + " -interlace PNG " + dir.File("i.png")), 0);
  TPngImage png;
  png.LoadFromFile(dir.File("i.png"));
  EXPECT_EQ(png.RGBData(), noise->RGBData());
  // Grey 50 % with alpha 50 %: half of grey 128 and half of white.
  ASSERT_EQ(RunCommand("convert -size 3x2 xc:'graya(50%,0.5)' PNG32:" + dir.File("ga.png")), 0);
  png.LoadFromFile(dir.File("ga.png"));
  EXPECT_NEAR(GetRValue(png.Pixel(2, 1)), 191, 1);
  EXPECT_EQ(GetRValue(png.Pixel(2, 1)), GetBValue(png.Pixel(2, 1)));
}

// A complete baseline JPEG file is decoded when its pixels are first read.
// Damage that keeps the file's marker structure (here: its scan cut short
// and closed with an end marker) passes the load and fails that first read,
// and every read after it, with the loader's error.
TEST(GraphicLoaders, JpegPixelsAreDecodedOnFirstReadAndDamageFoundThere) {
  const auto source = Noise(64, 48, 5);
  TJPEGImage encoded;
  encoded.Assign(*source);
  const std::vector<uint8_t> good = SaveBytes(encoded);

  TJPEGImage lazy;
  LoadBytes(lazy, good);
  EXPECT_EQ(lazy.Width(), 64);
  EXPECT_EQ(lazy.Height(), 48);
  EXPECT_EQ(lazy.SourceBytes(), good);
  TBitmap copy;
  copy.Assign(lazy);  // the first read decodes
  EXPECT_EQ(copy.RGBData(), lazy.RGBData());
  EXPECT_EQ(copy.RGBData().size(), size_t(64 * 48 * 3));

  std::vector<uint8_t> cut(good.begin(), good.begin() + long(good.size() * 2 / 3));
  cut.push_back(0xFF);
  cut.push_back(0xD9);
  TJPEGImage damaged;
  LoadBytes(damaged, cut);
  EXPECT_EQ(damaged.Width(), 64);
  for (int read = 0; read < 2; ++read) {
    try {
      (void)damaged.RGBData();
      ADD_FAILURE() << "damaged pixels were read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(std::string(e.Message()).rfind("JPEG error: ", 0), 0u) << e.Message();
    }
  }
  // The same bytes without the end marker are refused when loaded.
  cut.resize(cut.size() - 2);
  TJPEGImage refused;
  EXPECT_THROW(LoadBytes(refused, cut), EInvalidGraphic);
  EXPECT_TRUE(refused.Empty());
}

// A fuzzing finding: a small JPEG file whose markers are whole and whose
// compressed data holds a bad Huffman code. It loads (its pixels wait), its
// first read and its placement raise the loader's error, and the document
// it was placed in stays sound.
TEST(GraphicLoaders, JpegWithBadHuffmanCodeIsRefusedAtFirstReadAndPlacement) {
  static const char kFile[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x03\x02\x02\x03\x02\x02\x03\x03\x03\x03\x04\x03\x03\x04\x05\x08\x05\x05\x04\x04\x05\x0a\x07"
    "\x07\x06\x08\x0c\x0a\x0c\x0c\x0b\x0a\x0b\x0b\x0d\x0e\x12\x10\x0d\x0e\x11\x0e\x0b\x0b\x10\x16\x10"
    "\x11\x13\x14\x15\x15\x15\x0c\x0f\x17\x18\x16\x14\x18\x12\x14\x15\x14\xff\xdb\x00\x43\x01\x03\x04"
    "\x04\x05\x04\x05\x09\x05\x05\x09\x14\x0d\x0b\x0d\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\xff\xc0\x00\x11\x08\x00\x10\x00\x18\x03"
    "\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x16\x00\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x07\x08\xff\xc4\x00\x18\x10\x00\x02\x03\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x15\x01\x52\x62\xff\xc4\x00\x16\x01\x01\x01\x01\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x08\x04\xff\xc4\x00\x16\x11\x00\x03\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x16\x62\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f"
    "\x00\xcb\x0f\x62\xc6\x64\xb9\x2f\x86\xea\x0f\x62\xc1\x2e\x43\x75\x07\xb1\x60\x97\x21\xba\x89\xe3"
    "\xdd\x17\x9a\x5c\x91\x63\x77\x07\xba\x09\x72\x1b\xa8\x3d\xd0\x4b\x90\xdd\x47\xff\xd9";
  const std::vector<uint8_t> bytes(kFile, kFile + sizeof kFile - 1);
  TJPEGImage image;
  LoadBytes(image, bytes);
  EXPECT_THROW((void)image.RGBData(), EInvalidGraphic);
  TMemoryStream out;
  TVellix doc;
  doc.SetOutStream(&out);
  doc.SetImageCompressMode(cpJpeg);
  doc.BeginDoc();
  EXPECT_THROW(doc.Canvas().Draw(100, 100, &image), EInvalidGraphic);
  doc.EndDoc();
  EXPECT_FALSE(doc.Aborted());
}
