#include <vellix/PageBuffer.h>

#include <algorithm>

namespace Vellix {

std::vector<std::string> TPageBuffer::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::string_view line : *this) lines.emplace_back(line);
  return lines;
}

void TPageBuffer::MakeRoom(size_t aRoom) {
  // Doubling keeps the bytes zeroed by resizing in proportion to the content.
  FText.resize(std::max(FSize + aRoom, 2 * FText.size() + 256));
}

}  // namespace Vellix
