#include <vellix/PageBuffer.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

namespace Vellix {

TPageBuffer::TPageBuffer(const TPageBuffer& aOther)
    : FCapacity(aOther.FSize), FSize(aOther.FSize), FLine(aOther.FLine), FLineEnds(aOther.FLineEnds),
      FIndexed(aOther.FIndexed) {
  if (FSize == 0) return;
  FBlock = std::make_unique_for_overwrite<char[]>(FSize);
  std::memcpy(FBlock.get(), aOther.FBlock.get(), FSize);
}

TPageBuffer& TPageBuffer::operator=(const TPageBuffer& aOther) {
  if (this != &aOther) *this = TPageBuffer(aOther);
  return *this;
}

TPageBuffer::TPageBuffer(TPageBuffer&& aOther) noexcept
    : FBlock(std::move(aOther.FBlock)), FCapacity(std::exchange(aOther.FCapacity, 0)),
      FSize(std::exchange(aOther.FSize, 0)), FLine(std::move(aOther.FLine)), FLineEnds(std::move(aOther.FLineEnds)),
      FIndexed(std::exchange(aOther.FIndexed, 0)) {
  aOther.FLineEnds.clear();
}

TPageBuffer& TPageBuffer::operator=(TPageBuffer&& aOther) noexcept {
  if (this == &aOther) return *this;
  FBlock = std::move(aOther.FBlock);
  FCapacity = std::exchange(aOther.FCapacity, 0);
  FSize = std::exchange(aOther.FSize, 0);
  FLine = std::move(aOther.FLine);
  FLineEnds = std::move(aOther.FLineEnds);
  aOther.FLineEnds.clear();
  FIndexed = std::exchange(aOther.FIndexed, 0);
  return *this;
}

std::vector<std::string> TPageBuffer::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::string_view line : *this) lines.emplace_back(line);
  return lines;
}

void TPageBuffer::push_back(std::string_view aLine) {
  // A line of the buffer itself may move when the block grows.
  const std::less_equal<const char*> notAfter;
  const bool own = !aLine.empty() && notAfter(FBlock.get(), aLine.data()) &&
                   notAfter(aLine.data() + aLine.size(), FBlock.get() + FCapacity);
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
  const char* const text = FBlock.get();
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
  // Doubling keeps the copying in proportion to the content.
  const size_t capacity = std::max(FSize + aRoom, 2 * FCapacity + 256);
  std::unique_ptr<char[]> block = std::make_unique_for_overwrite<char[]>(capacity);
  if (FSize > 0) std::memcpy(block.get(), FBlock.get(), FSize);
  FBlock = std::move(block);
  FCapacity = capacity;
}

}  // namespace Vellix
