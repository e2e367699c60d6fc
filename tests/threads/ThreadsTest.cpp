// A server writes many documents at once, one TVellix per thread. Eight
// threads here draw every kind of content (fonts measured and embedded, text,
// boxes, grids, images in the three modes) into documents of their own; under
// ThreadSanitizer any data race fails the run, and every document must pass
// the readers.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

void DrawEverything(TVellix& aDoc, int aSeed) {
  TPdfCanvas& c = aDoc.Canvas();
  const char* families[] = {"Arial", "Times New Roman", "DejaVu Sans", "Liberation Mono", "Helvetica"};
  for (int page = 0; page < 3; ++page) {
    if (page > 0) aDoc.NewPage();
    for (int i = 0; i < 5; ++i) {
      c.Font().SetName(families[(aSeed + i) % 5]);
      c.Font().SetSize(9 + (aSeed + i) % 7);
      c.Font().SetStyle(i % 2 ? TFontStyles{fsBold} : TFontStyles{fsItalic, fsUnderline});
      c.TextOut(100, 100 + 80 * i, "Thread " + std::to_string(aSeed) + " writes " + std::to_string(c.TextWidth("x")));
    }
    c.DrawText(100, 600, 1000, 1000, taCenter, vaTop, "A box of wrapped text that several threads lay out at once.");
    c.DefineGrid("T", taLeftJustify, 10);
    c.DefineCol("T", 500, taLeftJustify, vaTop, true);
    c.DefineCol("T", 400, taRightJustify, vaCenter, false);
    c.DrawGrid("T", 100, 1100);
    for (int row = 0; row < 4; ++row) {
      c.DrawRow("T", 80);
      c.TextToCell("T", 0, row, "Row " + std::to_string(row));
      c.TextToCell("T", 1, row, std::to_string(aSeed * 100 + row));
    }
    TBitmap picture(32, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) picture.Canvas().SetPixel(x, y, RGB(uint8_t(x * 8), uint8_t(y * 10), uint8_t(aSeed)));
    c.StretchDraw(Rect(1100, 100, 1900, 700), &picture);
    c.Ellipse(1100, 800, 1900, 1400);
    // A page large enough that a compressed document deflates it on the
    // compressor's thread.
    for (int i = 0; i < 700; ++i) c.Rectangle(100 + i, 1500, 600 + i, 1900 + i % 50);
  }
}

constexpr int kThreads = 8;

// Runs aWork(t) for t = 0 .. kThreads - 1, each on a thread of its own, all at
// once; returns each thread's exception text ("" when it ended normally).
template <class Work>
std::vector<std::string> RunInThreads(Work&& aWork) {
  std::vector<std::string> errors(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      try {
        aWork(t);
      } catch (const std::exception& e) {
        errors[size_t(t)] = e.what();
      }
    });
  for (std::thread& thread : threads) thread.join();
  return errors;
}

}  // namespace

TEST(Threads, EightDocumentsWrittenAtOnceAreEachComplete) {
  TTempDir dir;
  const std::vector<std::string> errors = RunInThreads([&](int t) {
    for (int n = 0; n < 2; ++n) {
      TVellix doc;
      doc.SetFileName(dir.File("t" + std::to_string(t) + "-" + std::to_string(n) + ".pdf"));
      doc.SetCreationDate(FixedCreationDate);
      doc.SetImageCompressMode(TPdfCompressMode((t + n) % 3));
      doc.SetEmbedFonts(t % 2 == 0);
      doc.SetCompressContent(t % 4 == 1);
      doc.BeginDoc();
      DrawEverything(doc, t);
      doc.EndDoc();
      if (doc.Aborted()) throw std::runtime_error("aborted");
    }
  });
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(errors[size_t(t)], "") << "thread " << t;
    for (int n = 0; n < 2; ++n) {
      const std::string path = dir.File("t" + std::to_string(t) + "-" + std::to_string(n) + ".pdf");
      EXPECT_EQ(QpdfCheck(path).Status, 0) << path;
    }
  }
  // The same drawing gives the same bytes whichever thread wrote it.
  TVellix alone;
  alone.SetFileName(dir.File("alone.pdf"));
  alone.SetCreationDate(FixedCreationDate);
  alone.SetImageCompressMode(TPdfCompressMode(3 % 3));
  alone.SetEmbedFonts(false);
  alone.BeginDoc();
  DrawEverything(alone, 3);
  alone.EndDoc();
  EXPECT_EQ(ReadFileBytes(dir.File("alone.pdf")), ReadFileBytes(dir.File("t3-0.pdf")));
}

// Long documents hand their file to a writing thread of their own while they
// draw: eight at once, each byte for byte the document a caller's memory
// stream receives, where no such thread writes.
TEST(Threads, LongDocumentsWrittenBehindMatchTheirMemoryStreams) {
  TTempDir dir;
  auto draw = [](TVellix& aDoc, int aSeed) {
    aDoc.SetCreationDate(FixedCreationDate);
    aDoc.BeginDoc();
    for (int page = 0; page < 30; ++page) {
      if (page > 0) aDoc.NewPage();
      for (int i = 0; i < 700; ++i) aDoc.Canvas().Rectangle(100 + i, 1500, 600 + i, 1900 + (i + aSeed) % 50);
    }
    aDoc.EndDoc();
  };
  std::vector<std::string> inMemory(kThreads);
  const std::vector<std::string> errors = RunInThreads([&](int t) {
    TVellix doc;
    doc.SetFileName(dir.File("long" + std::to_string(t) + ".pdf"));
    draw(doc, t);
    TMemoryStream memory;
    TVellix same;
    same.SetOutStream(&memory);
    draw(same, t);
    inMemory[size_t(t)] = memory.DataString();
  });
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(errors[size_t(t)], "") << "thread " << t;
    const std::string path = dir.File("long" + std::to_string(t) + ".pdf");
    const std::string bytes = ReadFileBytes(path);
    EXPECT_GT(bytes.size(), 1000000u);
    EXPECT_TRUE(bytes == inMemory[size_t(t)]) << path << " differs from its memory stream";
    EXPECT_EQ(QpdfCheck(path).Status, 0) << path;
  }
}

// One JPEG picture, loaded once and decoded on first read, placed by eight
// documents at once: the decoding happens once, whichever thread asks first.
TEST(Threads, OneLoadedJpegPlacedByEightDocumentsAtOnce) {
  TTempDir dir;
  TBitmap source(48, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) source.Canvas().SetPixel(x, y, RGB(uint8_t(x * 5), uint8_t(y * 7), 90));
  TJPEGImage encoded;
  encoded.Assign(source);
  encoded.SaveToFile(dir.File("photo.jpg"));
  TJPEGImage photo;
  photo.LoadFromFile(dir.File("photo.jpg"));
  const std::vector<std::string> errors = RunInThreads([&](int t) {
    TVellix doc;
    doc.SetFileName(dir.File("p" + std::to_string(t) + ".pdf"));
    doc.SetImageCompressMode(TPdfCompressMode(t % 3));
    doc.SetShareImages(t % 2 == 0);
    doc.BeginDoc();
    doc.Canvas().StretchDraw(Rect(100, 100, 900, 700), &photo);
    doc.EndDoc();
  });
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(errors[size_t(t)], "") << "thread " << t;
    EXPECT_EQ(QpdfCheck(dir.File("p" + std::to_string(t) + ".pdf")).Status, 0);
  }
}
