#include "encode/ZlibBuffer.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace Vellix {

namespace {

uInt CheckedSize(int64_t aBytes) {
  if (aBytes < 0 || aBytes > int64_t(UINT_MAX)) throw EZlibError(sZlibError);
  return uInt(aBytes);
}

// Ends the zlib state however the routine leaves.
struct TDeflateGuard {
  z_stream& Z;
  ~TDeflateGuard() { deflateEnd(&Z); }
};
struct TInflateGuard {
  z_stream& Z;
  ~TInflateGuard() { inflateEnd(&Z); }
};

}  // namespace

std::vector<uint8_t> CompressBuf(const void* aInBuf, int64_t aInBytes, int aLevel) {
  z_stream z{};
  z.next_in = static_cast<Bytef*>(const_cast<void*>(aInBuf));
  z.avail_in = CheckedSize(aInBytes);
  std::vector<uint8_t> out(size_t((aInBytes + aInBytes / 10 + 12 + 255) & ~int64_t(255)));
  if (deflateInit(&z, aLevel) < 0) throw ECompressionError(sZlibError);
  TDeflateGuard guard{z};
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  for (;;) {
    const int rc = deflate(&z, Z_FINISH);
    if (rc == Z_STREAM_END) break;
    if (rc < 0 && !(rc == Z_BUF_ERROR && z.avail_out == 0)) throw ECompressionError(sZlibError);
    if (z.avail_out == 0) {
      out.resize(out.size() + 256);
      z.next_out = out.data() + z.total_out;
      z.avail_out = 256;
    }
  }
  out.resize(z.total_out);
  return out;
}

std::vector<uint8_t> DecompressBuf(const void* aInBuf, int64_t aInBytes, int64_t aOutEstimate) {
  z_stream z{};
  z.next_in = static_cast<Bytef*>(const_cast<void*>(aInBuf));
  z.avail_in = CheckedSize(aInBytes);
  const size_t step = size_t(std::max<int64_t>((aInBytes + 255) & ~int64_t(255), 256));
  std::vector<uint8_t> out(aOutEstimate > 0 ? size_t(aOutEstimate) : step);
  if (inflateInit(&z) < 0) throw EDecompressionError(sZlibError);
  TInflateGuard guard{z};
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  for (;;) {
    const int rc = inflate(&z, Z_FINISH);
    if (rc == Z_STREAM_END) break;
    // Only a full output may be grown; anything else (corrupt or truncated
    // data, a dictionary we do not have) is an error.
    if (z.avail_out != 0 || !(rc == Z_OK || rc == Z_BUF_ERROR)) throw EDecompressionError(sZlibError);
    out.resize(out.size() + step);
    z.next_out = out.data() + z.total_out;
    z.avail_out = uInt(step);
  }
  out.resize(z.total_out);
  return out;
}

int64_t DecompressToUserBuf(const void* aInBuf, int64_t aInBytes, void* aOutBuf, int64_t aBufSize) {
  z_stream z{};
  z.next_in = static_cast<Bytef*>(const_cast<void*>(aInBuf));
  z.avail_in = CheckedSize(aInBytes);
  z.next_out = static_cast<Bytef*>(aOutBuf);
  z.avail_out = CheckedSize(aBufSize);
  if (inflateInit(&z) < 0) throw EDecompressionError(sZlibError);
  TInflateGuard guard{z};
  const int rc = inflate(&z, Z_FINISH);
  if (rc == Z_STREAM_END) return int64_t(z.total_out);
  if (rc == Z_BUF_ERROR && z.avail_out == 0) throw EZlibError(sTargetBufferTooSmall);
  if (rc < 0 || rc == Z_NEED_DICT) throw EDecompressionError(sZlibError);
  throw EZlibError(sTargetBufferTooSmall);
}

}  // namespace Vellix
