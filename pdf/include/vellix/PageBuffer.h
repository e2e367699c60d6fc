#pragma once
// TPageBuffer: the content of the page being drawn, as the lines of its
// content stream. It reads like a list of lines (size, indexing, iteration,
// back, each line a string_view without its line end) and grows by whole
// lines; the lines are kept in one block, each already followed by CR LF, so
// that a page costs no allocation per line and is written with one write.
//
// Views returned by the reading operations are valid until the next change of
// the buffer. Lines written in place are found by their line ends when the
// lines are first read, so even reading one buffer from two threads at once
// needs a lock.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <vellix/Export.h>

namespace Vellix {

class VELLIX_API TPageBuffer {
public:
  TPageBuffer() = default;
  // A copy holds the same lines, in a block of their size.
  TPageBuffer(const TPageBuffer& aOther);
  TPageBuffer& operator=(const TPageBuffer& aOther);
  // The buffer moved from is left empty.
  TPageBuffer(TPageBuffer&& aOther) noexcept;
  TPageBuffer& operator=(TPageBuffer&& aOther) noexcept;
  ~TPageBuffer() = default;

  class const_iterator {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    const_iterator() = default;
    const_iterator(const TPageBuffer* aBuffer, size_t aIndex) : FBuffer(aBuffer), FIndex(aIndex) {}
    std::string_view operator*() const { return (*FBuffer)[FIndex]; }
    const_iterator& operator++() { ++FIndex; return *this; }
    const_iterator operator++(int) { const_iterator old = *this; ++FIndex; return old; }
    const_iterator& operator--() { --FIndex; return *this; }
    const_iterator& operator+=(difference_type aStep) { FIndex = size_t(difference_type(FIndex) + aStep); return *this; }
    const_iterator operator+(difference_type aStep) const { const_iterator r = *this; return r += aStep; }
    difference_type operator-(const const_iterator& aOther) const {
      return difference_type(FIndex) - difference_type(aOther.FIndex);
    }
    bool operator==(const const_iterator& aOther) const { return FIndex == aOther.FIndex; }
    bool operator!=(const const_iterator& aOther) const { return FIndex != aOther.FIndex; }

  private:
    const TPageBuffer* FBuffer = nullptr;
    size_t FIndex = 0;
  };

  // ---- Reading ----

  size_t size() const {
    IndexLines();
    return FLineEnds.size();
  }
  bool empty() const { return FSize == 0; }
  // Line aIndex (below size()), without its line end.
  std::string_view operator[](size_t aIndex) const {
    IndexLines();
    const size_t begin = aIndex == 0 ? 0 : FLineEnds[aIndex - 1];
    return std::string_view(FBlock.get() + begin, FLineEnds[aIndex] - begin - 2);
  }
  std::string_view back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }
  // The lines as separate strings (a copy, for callers that keep them).
  std::vector<std::string> Lines() const;
  // Every line followed by CR LF: the bytes of the content stream.
  std::string_view Content() const { return std::string_view(FBlock.get(), FSize); }

  // ---- Growing ----

  // Appends aLine as one line.
  void push_back(std::string_view aLine);
  // Appending through a string: text appended to OpenLine()'s string (empty
  // when it is opened) becomes one line at the next CloseLine. Nothing else
  // may change the buffer in between.
  std::string& OpenLine() {
    FLine.clear();
    return FLine;
  }
  void CloseLine() { push_back(FLine); }
  // Writing in place, for writers that make room once for several pieces:
  // Room gives at least aRoom writable bytes just past the content, and
  // Commit makes the bytes up to aEnd part of it. Each line written there
  // ends with CR LF and holds no CR LF inside: the lines are told apart by
  // their line ends, and bytes after the last one belong to the next line.
  // (A line that must hold a CR LF goes in by push_back.) Nothing else may
  // change the buffer between Room and Commit.
  char* Room(size_t aRoom) {
    if (FCapacity - FSize < aRoom) MakeRoom(aRoom);
    return FBlock.get() + FSize;
  }
  void Commit(const char* aEnd) { FSize = size_t(aEnd - FBlock.get()); }
  // Removes every line; the block is kept for the next page.
  void clear() {
    FSize = 0;
    FIndexed = 0;
    FLineEnds.clear();
  }

private:
  void MakeRoom(size_t aRoom);
  // Finding the lines is left to the first reading: a page is mostly
  // written to the file without ever being read by lines, and recording
  // each line as it is written cost more than all the searching does.
  void IndexLines() const {
    if (FIndexed != FSize) IndexWrittenInPlace();
  }
  void IndexWrittenInPlace() const;

  // The content is the first FSize bytes; the rest is room for the next.
  // The room is not zeroed: memory the pages never reach stays untouched,
  // however far the block has doubled.
  std::unique_ptr<char[]> FBlock;
  size_t FCapacity = 0;
  size_t FSize = 0;
  std::string FLine;  // the line open for appending
  // The offset just past each line's CR LF, for the first FIndexed bytes.
  mutable std::vector<size_t> FLineEnds;
  mutable size_t FIndexed = 0;
};

}  // namespace Vellix
