#include <vellix/Font.h>

#include <atomic>

namespace Vellix {

uint64_t TFont::NextNameStamp() {
  static std::atomic<uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace Vellix
