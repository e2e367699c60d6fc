#include <vellix/Font.h>

#include <atomic>
#include <cstdlib>

namespace Vellix {

uint64_t TFont::NextNameStamp() {
  static std::atomic<uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = int64_t(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const int64_t num = std::llabs(product);
  const int64_t den = std::llabs(int64_t(c));
  const int64_t q = (2 * num + den) / (2 * den);
  return int32_t(negative ? -q : q);
}

}  // namespace Vellix
