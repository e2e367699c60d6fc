#pragma once
// TDeflater: compresses one buffer after another into complete zlib streams
// with one zlib state and one output block, both kept between calls, so that
// compressing each page of a document costs neither an allocation nor the
// zeroing of a fresh state.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace Vellix {

class TDeflater {
public:
  // aLevel 0 to 9. Throws ECompressionError "error" when zlib cannot start.
  explicit TDeflater(int aLevel);
  ~TDeflater();
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  // The zlib stream of aCount bytes at aData, valid until the next call.
  // Throws ECompressionError "error" (or EZlibError for a buffer beyond
  // 4 GiB) when compression fails.
  std::span<const uint8_t> Compress(const void* aData, size_t aCount);

private:
  struct TState;
  std::unique_ptr<TState> FState;
  std::vector<uint8_t> FOut;
};

}  // namespace Vellix
