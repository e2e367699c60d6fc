#pragma once
// TPaintLines: the brush and pen lines written before a shape ("r g b rg",
// "r g b RG", the dash and the width), kept as written for the last shape.
// Their bytes depend on nothing but the brush colour, the pen's colour, style
// and width, what the shape paints and the length unit, and the thousands of
// shapes of a page mostly share them: copying the bytes costs a fraction of
// writing the colours and the width again.

#include <cstddef>
#include <cstdint>

#include <vellix/Color.h>

#include "canvas/ContentLines.h"

namespace Vellix::Detail {

class TPaintLines {
public:
  // What the lines are written for; a colour or pen that is not painted
  // with is left at zero.
  struct TKey {
    TColor BrushColor = 0;
    TColor PenColor = 0;
    int32_t PenWidth = 0;
    int32_t PenStyle = 0;
    bool Background = false;
    bool Border = false;
    bool operator==(const TKey&) const = default;
  };
  // The most the lines take: the colours, the dash, the width.
  static constexpr size_t Room = 128;

  // When the lines kept were written for aKey, writes them again at aCursor
  // (with Room bytes free) and returns their end; nullptr otherwise.
  char* Replay(TContentLines& aLines, char* aCursor, const TKey& aKey) const {
    if (!FKept || !(aKey == FKey)) return nullptr;
    std::memcpy(aCursor, FBytes, Room);
    for (uint8_t i = 0; i < FLineCount; ++i) aLines.LineEndedAt(aCursor + FLineEnds[i]);
    return aCursor + FSize;
  }
  // Keeps the lines [aBegin, aEnd), each ended with CR LF, just written for aKey.
  void Keep(const TKey& aKey, const char* aBegin, const char* aEnd);
  // Forgets the lines: the length unit may differ on the next page written.
  void Forget() { FKept = false; }

private:
  static constexpr size_t MaxLines = 4;
  TKey FKey;
  bool FKept = false;
  uint8_t FSize = 0;
  uint8_t FLineCount = 0;
  uint8_t FLineEnds[MaxLines] = {};
  char FBytes[Room] = {};
};

}  // namespace Vellix::Detail
