// Arcs, chords and pies compared with a fixed record of their content lines:
// many random arcs, from tiny to far larger than a page, in both units, drawn
// with each paint; the lines they give are hashed and the hash must not move.
// The ordinary run draws about 300 000 lines; VELLIX_ARC_REFERENCE=full
// draws about 5 million.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include <vellix/Canvas.h>
#include <vellix/Document.h>
#include <vellix/Stream.h>

namespace {

using namespace Vellix;

// 64-bit FNV-1a over every content byte.
struct TLinesHash {
  uint64_t Value = 14695981039346656037ull;
  uint64_t Lines = 0;
  void Add(const TPageBuffer& aBuffer) {
    for (unsigned char c : aBuffer.Content()) Value = (Value ^ c) * 1099511628211ull;
    Lines += aBuffer.size();
  }
};

bool FullReference() {
  const char* mode = std::getenv("VELLIX_ARC_REFERENCE");
  return mode != nullptr && std::string(mode) == "full";
}

// Draws random arcs until aLineCount lines are made.
TLinesHash DrawArcs(uint64_t aLineCount) {
  TMemoryStream out;
  TVellix doc;
  doc.SetCreationDate("20240102030405");
  TLinesHash hash;
  std::mt19937_64 random(1991);
  for (TLengthUnit unit : {luTenth, luPoint}) {
    doc.SetLengthUnit(unit);
    doc.SetOutStream(&out);
    doc.BeginDoc();
    TPdfCanvas& c = doc.Canvas();
    std::uniform_int_distribution<int32_t> position(-3000, 6000), size(1, 600), angle(-9000, 9000);
    std::uniform_int_distribution<int> kind(0, 99);
    while (hash.Lines < aLineCount / 2 * (unit == luTenth ? 1 : 2)) {
      // Mostly page-sized shapes; some huge ones, some flat or tiny.
      int32_t w = size(random), h = size(random);
      const int k = kind(random);
      if (k < 8) {
        w *= 97;
        h *= 89;
      } else if (k < 12) {
        w = 1 + w % 3;
      } else if (k < 16) {
        w = h = 1 + w % 4;
      }
      const int32_t x = position(random), y = position(random);
      const int32_t x3 = x + angle(random), y3 = y + angle(random), x4 = x + angle(random), y4 = y + angle(random);
      switch (k % 3) {
        case 0: c.Arc(x, y, x + w, y + h, x3, y3, x4, y4); break;
        case 1: c.Chord(x, y, x + w, y + h, x3, y3, x4, y4); break;
        default: c.Pie(x, y, x + w, y + h, x3, y3, x4, y4); break;
      }
      if (c.PdfStream().size() > 100000) {
        hash.Add(c.PdfStream());
        c.PdfStream().clear();
      }
    }
    hash.Add(c.PdfStream());
    c.PdfStream().clear();
    doc.EndDoc();
  }
  return hash;
}

}  // namespace

TEST(ArcReference, LinesAreTheRecordedOnes) {
  const bool full = FullReference();
  const TLinesHash hash = DrawArcs(full ? 5000000 : 300000);
  std::printf("arc reference: %llu lines, hash %016llx\n", static_cast<unsigned long long>(hash.Lines),
              static_cast<unsigned long long>(hash.Value));
  EXPECT_EQ(hash.Value, full ? 0xb3ab965eced2e0d3ull : 0x6e852c72a95b17c7ull);
}

// Arcs of radii up to a million points, each a short sweep (a few hundred
// lines at the finest step), where a double result is closest to its limits.
TEST(ArcReference, HugeArcsAreTheRecordedOnes) {
  TMemoryStream out;
  TVellix doc;
  doc.SetCreationDate("20240102030405");
  doc.SetLengthUnit(luPoint);
  doc.SetOutStream(&out);
  doc.BeginDoc();
  TPdfCanvas& c = doc.Canvas();
  std::mt19937_64 random(77);
  std::uniform_int_distribution<int32_t> radius(20000, 1100000), centre(-5000, 5000), offset(-3000, 3000);
  TLinesHash hash;
  for (int i = 0; i < 400; ++i) {
    const int32_t rx = radius(random), ry = radius(random), cx = centre(random), cy = centre(random);
    // Start and end radials a small angle apart, pointing anywhere.
    const int32_t dx = offset(random), dy = offset(random);
    c.Arc(cx - rx, cy - ry, cx + rx, cy + ry, cx + 100000, cy + dy, cx + 100000, cy + dy - 1 - (dx & 1023));
    hash.Add(c.PdfStream());
    c.PdfStream().clear();
  }
  doc.EndDoc();
  std::printf("huge arcs: %llu lines, hash %016llx\n", static_cast<unsigned long long>(hash.Lines),
              static_cast<unsigned long long>(hash.Value));
  EXPECT_EQ(hash.Value, 0x1d492d64727391faull);
}
