#include <vellix/PageBuffer.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace Vellix {

std::vector<std::string> TPageBuffer::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::string_view line : *this) lines.emplace_back(line);
  return lines;
}

void TPageBuffer::push_back(std::string_view aLine) {
  // A line of the buffer itself may move when the block grows.
  const std::less_equal<const char*> notAfter;
  const bool own = !aLine.empty() && notAfter(FText.data(), aLine.data()) &&
                   notAfter(aLine.data() + aLine.size(), FText.data() + FText.size());
  if (own) return push_back(std::string(aLine));
  // A line that holds a CR LF is recorded whole, so that it is not read as
  // two; any other is found by its line end like the lines written in place.
  const bool holdsLineEnd = aLine.find("\r\n") != std::string_view::npos;
  if (holdsLineEnd) IndexLines();
  char* p = Room(aLine.size() + 2);
  if (!aLine.empty()) std::memcpy(p, aLine.data(), aLine.size());
  p += aLine.size();
  p[0] = '\r';
  p[1] = '\n';
  Commit(p + 2);
  if (holdsLineEnd) {
    FLineEnds.push_back(FSize);
    FIndexed = FSize;
  }
}

void TPageBuffer::IndexWrittenInPlace() const {
  const char* const text = FText.data();
  const char* p = text + FIndexed;
  const char* const end = text + FSize;
  while (const void* lf = std::memchr(p, '\n', size_t(end - p))) {
    p = static_cast<const char*>(lf) + 1;
    if (p - text >= 2 && p[-2] == '\r') {
      FLineEnds.push_back(size_t(p - text));
      FIndexed = size_t(p - text);
    }
  }
}

void TPageBuffer::MakeRoom(size_t aRoom) {
  // Doubling keeps the bytes zeroed by resizing in proportion to the content.
  FText.resize(std::max(FSize + aRoom, 2 * FText.size() + 256));
}

}  // namespace Vellix
