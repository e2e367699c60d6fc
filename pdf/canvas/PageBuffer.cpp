#include <vellix/PageBuffer.h>

namespace Vellix {

std::vector<std::string> TPageBuffer::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::string_view line : *this) lines.emplace_back(line);
  return lines;
}

}  // namespace Vellix
