#pragma once
// The installed face that fontconfig sorts first for a character that a
// family lacks: what a desktop draws in its place, for example DejaVu Sans
// for Cyrillic under a Latin-only family, or a CJK face for Chinese.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <vellix/Font.h>

namespace Vellix {

// A face of a font file: its path and its index in the file.
struct TFaceLocation {
  std::string Path;
  int32_t Index = 0;
  bool operator==(const TFaceLocation&) const = default;
};

// The first face in fontconfig's order for aFamily in aStyle (bold and
// italic only) that maps aCharacter and that aUsable accepts (the caller's
// test of its outlines), or nothing when no installed font qualifies.
// Thread-safe; each call asks fontconfig, so callers keep what it returns.
std::optional<TFaceLocation> FallbackFace(std::string_view aFamily, TFontStyles aStyle, char32_t aCharacter,
                                         const std::function<bool(const TFaceLocation&)>& aUsable);

}  // namespace Vellix
