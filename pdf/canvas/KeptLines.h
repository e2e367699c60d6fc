#pragma once
// Lines kept as written, for the next drawing call that needs the same ones.
// The thousands of shapes and texts of a page mostly share their brush and
// pen lines ("r g b rg", "r g b RG", the dash, the width) and the start of
// their text objects (BT, the font and size, the colour); those bytes depend
// on nothing but a few properties and the length unit, and copying them
// costs a fraction of writing the colours and numbers again.
//
// The canvas forgets them at every page: the length unit, and the font
// resources a key points to, may change between documents.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <vellix/Color.h>

#include "canvas/ContentLines.h"

namespace Vellix::Detail {

// The lines last written for one key; TKey is compared as a whole.
template <class TKey>
class TKeptLines {
public:
  // The most the kept lines take.
  static constexpr size_t Room = 128;

  // When the lines kept were written for aKey, writes them again at aCursor
  // (with Room bytes free) and returns their end; nullptr otherwise.
  char* Replay(char* aCursor, const TKey& aKey) const {
    if (!FKept || !(aKey == FKey)) return nullptr;
    std::memcpy(aCursor, FBytes, Room);
    return aCursor + FSize;
  }
  // Keeps the lines [aBegin, aEnd), each ended with CR LF, just written for
  // aKey; lines too long to keep are not.
  void Keep(const TKey& aKey, const char* aBegin, const char* aEnd) {
    const size_t size = size_t(aEnd - aBegin);
    FKept = false;
    if (size > Room) return;
    std::memcpy(FBytes, aBegin, size);
    FSize = uint8_t(size);
    FKey = aKey;
    FKept = true;
  }
  void Forget() { FKept = false; }

private:
  TKey FKey{};
  bool FKept = false;
  uint8_t FSize = 0;
  char FBytes[Room] = {};
};

// What the brush and pen lines before a shape are written for: the pen, the
// brush and what the shape asks to paint, as they are. Two keys that differ
// may still give the same lines; they are then written again.
struct TPaintKey {
  TColor PenColor = 0;
  int32_t PenStyle = 0;
  int32_t PenWidth = 0;
  TColor BrushColor = 0;
  int32_t BrushStyle = 0;
  bool WantBorder = false;
  bool WantBackground = false;
  // Field by field: the key is made just before it is compared, and a
  // comparison as words would read it back across the narrow stores that
  // made it, which the processor cannot forward.
  bool operator==(const TPaintKey&) const = default;
};

// What the first lines of a text object are written for.
struct TTextStartKey {
  const void* Font = nullptr;  // the font resource, whose name the lines carry
  int32_t Size = 0;
  TColor Color = 0;
  bool operator==(const TTextStartKey&) const = default;
};

// The lines a canvas keeps.
struct TKeptContent {
  TKeptLines<TPaintKey> Paint;
  TKeptLines<TTextStartKey> TextStart;
  void Forget() {
    Paint.Forget();
    TextStart.Forget();
  }
};

}  // namespace Vellix::Detail
