#pragma once
// A UTF-8 argument of the canvas as the UTF-16 text that ICU and HarfBuzz
// work on, with the way back to the caller's bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vellix {

struct TUtf16Text {
  std::u16string Units;
  // For each unit, the offset in the UTF-8 text of the character it belongs
  // to; one more entry, the UTF-8 length, for the end.
  std::vector<uint32_t> ByteOffset;
};

// Decodes aUtf8. A byte sequence that is not well-formed UTF-8 (a stray
// continuation byte, a truncated or overlong sequence, a surrogate) becomes
// U+FFFD, one for each maximal ill-formed part, as Unicode recommends.
TUtf16Text DecodeUtf8(std::string_view aUtf8);

// The UTF-8 of aUnits (a lone surrogate as U+FFFD).
std::string EncodeUtf8(std::u16string_view aUnits);

// The code point at aUnits[aIndex] (a lone surrogate as itself).
char32_t CodePointAt(std::u16string_view aUnits, size_t aIndex);

}  // namespace Vellix
