// zlib streams, buffer routines and ASCII85.

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "encode/Ascii85.h"
#include "encode/ZlibBuffer.h"
#include "encode/ZlibStream.h"

using namespace Vellix;

namespace {

std::string Ascii85Of(const std::string& aData) {
  TMemoryStream source, dest;
  source.WriteBuffer(aData.data(), int64_t(aData.size()));
  dest.WriteBuffer("old contents, longer than the result", 36);
  EncodeASCII85(source, dest);
  return dest.DataString();
}

// Standard ASCII85 decoding of our output (five-character groups only).
std::string DecodeAscii85(const std::string& aText) {
  std::string out;
  size_t i = 0;
  while (i < aText.size() && aText.compare(i, 2, "~>") != 0) {
    if (aText[i] == 'z') {
      out.append(4, '\0');
      ++i;
      continue;
    }
    uint64_t v = 0;
    for (int k = 0; k < 5; ++k) v = v * 85 + uint64_t(aText[i + size_t(k)] - 33);
    for (int k = 3; k >= 0; --k) out += char((v >> (8 * k)) & 0xFF);
    i += 5;
  }
  return out;
}

std::string RandomBytes(size_t aCount, unsigned aSeed, int aAlphabet = 256) {
  std::mt19937 random(aSeed);
  std::string data(aCount, '\0');
  for (char& c : data) c = char(random() % unsigned(aAlphabet));
  return data;
}

std::string Compress(const std::string& aData, size_t aPiece, TCompressionLevel aLevel = clDefault) {
  TMemoryStream dest;
  {
    TCompressionStream z(aLevel, dest);
    for (size_t at = 0; at < aData.size(); at += aPiece)
      EXPECT_EQ(z.Write(aData.data() + at, int64_t(std::min(aPiece, aData.size() - at))),
                int64_t(std::min(aPiece, aData.size() - at)));
    z.Finish();
  }
  return dest.DataString();
}

std::string ZlibUncompress(const std::string& aData, size_t aSize) {
  std::string out(aSize, '\0');
  uLongf length = aSize;
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                       reinterpret_cast<const Bytef*>(aData.data()), aData.size()),
            Z_OK);
  out.resize(length);
  return out;
}

template <class E, class F>
std::string ErrorOf(F&& aAction) {
  try {
    aAction();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}

}  // namespace

TEST(Ascii85, Vectors) {
  EXPECT_EQ(Ascii85Of(""), "~>");
  EXPECT_EQ(Ascii85Of(std::string(1, '\0')), "z~>");
  EXPECT_EQ(Ascii85Of(std::string(4, '\0')), "z~>");
  EXPECT_EQ(Ascii85Of("xyz"), "G^4T8~>");
  EXPECT_EQ(Ascii85Of("test"), "FCfN8~>");
  EXPECT_EQ(Ascii85Of(std::string("test\0\0\0\0test", 12)), "FCfN8zFCfN8~>");
  EXPECT_EQ(Ascii85Of("\xff\xff\xff\xff"), "s8W-!~>");
}

TEST(Ascii85, RoundTripsAndSizes) {
  for (size_t n : {1u, 2u, 3u, 5u, 100u, 4097u}) {
    const std::string data = RandomBytes(n, unsigned(n), n == 100 ? 2 : 256);
    const std::string encoded = Ascii85Of(data);
    EXPECT_LE(encoded.size(), 5 * (n / 4 + 1) + 2);
    EXPECT_EQ(encoded.find_first_not_of("!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuz~"),
              std::string::npos);
    const std::string decoded = DecodeAscii85(encoded);
    ASSERT_EQ(decoded.size(), (n + 3) / 4 * 4);
    EXPECT_EQ(decoded.substr(0, n), data);
    EXPECT_EQ(decoded.substr(n), std::string(decoded.size() - n, '\0'));
  }
}

TEST(ZlibStreams, RoundTripInAnyPieces) {
  const std::string text = RandomBytes(300000, 7, 16);  // compressible, over several buffers
  for (size_t piece : {size_t(3), size_t(4096), size_t(300000)}) {
    const std::string packed = Compress(text, piece);
    EXPECT_LT(packed.size(), text.size());
    EXPECT_EQ(ZlibUncompress(packed, text.size()), text);
    TMemoryStream source;
    source.WriteBuffer(packed.data(), int64_t(packed.size()));
    source.SetPosition(0);
    TDecompressionStream unpack(source);
    std::string out(text.size() + 100, '\0');
    EXPECT_EQ(unpack.Read(out.data(), int64_t(out.size())), int64_t(text.size()));
    out.resize(text.size());
    EXPECT_EQ(out, text);
  }
  const std::string random = RandomBytes(100000, 3);
  EXPECT_EQ(ZlibUncompress(Compress(random, 1000, clNone), random.size()), random);
  EXPECT_EQ(ZlibUncompress(Compress(random, 1000, clMax), random.size()), random);
}

TEST(ZlibStreams, EmptyAndUnfinishedStreamsAreComplete) {
  TMemoryStream dest;
  { TCompressionStream z(clDefault, dest); }
  EXPECT_EQ(ZlibUncompress(dest.DataString(), 10), "");
  TMemoryStream more;
  {
    TCompressionStream z(clDefault, more);
    z.Write("abc", 3);
  }  // the destructor finishes
  EXPECT_EQ(ZlibUncompress(more.DataString(), 10), "abc");
}

TEST(ZlibStreams, CompressionStreamRulesAndRate) {
  TMemoryStream dest;
  dest.WriteBuffer("head", 4);
  TCompressionStream z(clDefault, dest);
  int progress = 0;
  z.SetOnProgress([&](TCustomZlibStream& aSender) {
    EXPECT_EQ(&aSender, &z);
    ++progress;
  });
  EXPECT_EQ(z.CompressionRate(), 0);
  const std::string data = RandomBytes(500000, 11);
  z.Write(data.data(), int64_t(data.size()));
  EXPECT_EQ(z.Seek(0, soCurrent), 500000);
  EXPECT_EQ(ErrorOf<ECompressionError>([&] { z.Seek(1, soCurrent); }), "Invalid stream operation");
  EXPECT_EQ(ErrorOf<ECompressionError>([&] { z.Seek(0, soBeginning); }), "Invalid stream operation");
  char buffer[4];
  EXPECT_EQ(ErrorOf<EZlibError>([&] { z.Read(buffer, 4); }), "Invalid stream operation");
  // Someone else moving the target does not misplace the data.
  dest.SetPosition(0);
  z.Finish();
  EXPECT_GE(progress, 7);
  EXPECT_LT(z.CompressionRate(), 0);  // random bytes grow a little
  EXPECT_EQ(dest.DataString().substr(0, 4), "head");
  EXPECT_EQ(ZlibUncompress(dest.DataString().substr(4), data.size()), data);

  TMemoryStream text;
  TCompressionStream zt(clDefault, text);
  const std::string zeros(10000, '\0');
  zt.Write(zeros.data(), int64_t(zeros.size()));
  zt.Finish();
  EXPECT_GT(zt.CompressionRate(), 98);
  EXPECT_EQ(zt.CompressionRate(), (1 - (long double)text.Size() / 10000) * 100);
}

TEST(ZlibStreams, DecompressionSeekRules) {
  const std::string data = RandomBytes(20000, 5, 10);
  const std::string packed = Compress(data, 20000);
  TMemoryStream source;
  source.WriteBuffer("xx", 2);  // the data starts at 2
  source.WriteBuffer(packed.data(), int64_t(packed.size()));
  source.WriteBuffer("trailing", 8);
  source.SetPosition(2);
  TDecompressionStream z(source);
  char piece[10];
  z.ReadBuffer(piece, 10);
  EXPECT_EQ(std::string(piece, 10), data.substr(0, 10));
  EXPECT_EQ(z.Seek(5000, soCurrent), 5010);
  z.ReadBuffer(piece, 10);
  EXPECT_EQ(std::string(piece, 10), data.substr(5010, 10));
  EXPECT_EQ(z.Seek(10000, soBeginning), 10000);
  z.ReadBuffer(piece, 10);
  EXPECT_EQ(std::string(piece, 10), data.substr(10000, 10));
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { z.Seek(-1, soCurrent); }), "Invalid stream operation");
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { z.Seek(100, soBeginning); }), "Invalid stream operation");
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { z.Seek(0, soEnd); }), "Invalid stream operation");
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { z.Write("a", 1); }), "Invalid stream operation");
  EXPECT_EQ(z.Seek(0, soBeginning), 0);
  z.ReadBuffer(piece, 10);
  EXPECT_EQ(std::string(piece, 10), data.substr(0, 10));
  // The end of the data is the end of the stream, trailing bytes or not.
  std::string rest(30000, '\0');
  EXPECT_EQ(z.Read(rest.data(), 30000), 20000 - 10);
  EXPECT_EQ(z.Read(rest.data(), 30000), 0);
  EXPECT_THROW(z.Seek(1, soCurrent), EReadError);
}

TEST(ZlibStreams, DecompressionGivesBackUnusedInput) {
  const std::string packed = Compress("hello, hello, hello", 100);
  TMemoryStream source;
  source.WriteBuffer(packed.data(), int64_t(packed.size()));
  source.WriteBuffer("NEXT", 4);
  source.SetPosition(0);
  {
    TDecompressionStream z(source);
    char out[64];
    EXPECT_EQ(z.Read(out, 64), 19);
  }
  char next[4];
  source.ReadBuffer(next, 4);
  EXPECT_EQ(std::string(next, 4), "NEXT");
}

TEST(ZlibStreams, CorruptDataRaises) {
  TMemoryStream source;
  source.WriteBuffer("\x78\x9c\xff\xff\xff\xff", 6);
  source.SetPosition(0);
  TDecompressionStream z(source);
  char out[100];
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { z.Read(out, 100); }), "error");
}

TEST(ZlibBuffers, RoundTripsAndErrors) {
  const std::string data = RandomBytes(70000, 9, 20);
  const std::vector<uint8_t> packed = CompressBuf(data.data(), int64_t(data.size()));
  const std::string packedText(packed.begin(), packed.end());
  EXPECT_EQ(ZlibUncompress(packedText, data.size()), data);
  for (int64_t estimate : {int64_t(0), int64_t(10), int64_t(70000), int64_t(200000)}) {
    const std::vector<uint8_t> back = DecompressBuf(packed.data(), int64_t(packed.size()), estimate);
    EXPECT_EQ(std::string(back.begin(), back.end()), data);
  }
  // Incompressible input needs more room than the first estimate.
  const std::string noise = RandomBytes(5000, 4);
  const std::vector<uint8_t> grown = CompressBuf(noise.data(), int64_t(noise.size()));
  EXPECT_EQ(ZlibUncompress(std::string(grown.begin(), grown.end()), noise.size()), noise);
  EXPECT_TRUE(DecompressBuf(CompressBuf("", 0).data(), int64_t(CompressBuf("", 0).size())).empty());

  std::string out(70000, '\0');
  EXPECT_EQ(DecompressToUserBuf(packed.data(), int64_t(packed.size()), out.data(), 70000), 70000);
  EXPECT_EQ(out, data);
  EXPECT_EQ(ErrorOf<EZlibError>([&] { DecompressToUserBuf(packed.data(), int64_t(packed.size()), out.data(), 100); }),
            "ZLib error: target buffer may be too small");
  const std::vector<uint8_t> truncated(packed.begin(), packed.begin() + 50);
  EXPECT_THROW(DecompressBuf(truncated.data(), int64_t(truncated.size())), EDecompressionError);
  const char junk[] = "\x78\x9c\xff\xff\xff\xff";
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { DecompressBuf(junk, 6); }), "error");
  EXPECT_EQ(ErrorOf<EDecompressionError>([&] { DecompressToUserBuf(junk, 6, out.data(), 100); }), "error");
}
