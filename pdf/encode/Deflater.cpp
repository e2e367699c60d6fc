#include "encode/Deflater.h"

#include <zlib.h>

#include <climits>

#include <vellix/ZlibError.h>

namespace Vellix {

struct TDeflater::TState {
  z_stream Z{};
};

TDeflater::TDeflater(int aLevel) : FState(std::make_unique<TState>()) {
  if (deflateInit(&FState->Z, aLevel) != Z_OK) throw ECompressionError(sZlibError);
}

TDeflater::~TDeflater() { deflateEnd(&FState->Z); }

std::span<const uint8_t> TDeflater::Compress(const void* aData, size_t aCount) {
  if (aCount > UINT_MAX) throw EZlibError(sZlibError);
  z_stream& z = FState->Z;
  if (deflateReset(&z) != Z_OK) throw ECompressionError(sZlibError);
  const size_t bound = deflateBound(&z, uLong(aCount));
  if (bound > UINT_MAX) throw EZlibError(sZlibError);
  if (FOut.size() < bound) FOut.resize(bound);
  z.next_in = static_cast<Bytef*>(const_cast<void*>(aData));
  z.avail_in = uInt(aCount);
  z.next_out = FOut.data();
  z.avail_out = uInt(FOut.size());
  // The output holds the bound, so one call finishes the stream.
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw ECompressionError(sZlibError);
  return {FOut.data(), size_t(z.total_out)};
}

}  // namespace Vellix
