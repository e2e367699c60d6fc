#include "text/unicode/Utf16Text.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>


namespace Vellix {

TUtf16Text DecodeUtf8(std::string_view aUtf8) {
  TUtf16Text text;
  text.Units.reserve(aUtf8.size());
  text.ByteOffset.reserve(aUtf8.size() + 1);
  const auto* bytes = reinterpret_cast<const uint8_t*>(aUtf8.data());
  const int32_t length = int32_t(aUtf8.size());
  int32_t i = 0;
  while (i < length) {
    const int32_t start = i;
    UChar32 c = 0;
    // U8_NEXT consumes one maximal ill-formed subsequence and gives < 0.
    U8_NEXT(bytes, i, length, c);
    if (c < 0) c = 0xFFFD;
    if (U16_LENGTH(c) == 2) {
      text.Units.push_back(char16_t(U16_LEAD(c)));
      text.Units.push_back(char16_t(U16_TRAIL(c)));
      text.ByteOffset.push_back(uint32_t(start));
    } else {
      text.Units.push_back(char16_t(c));
    }
    text.ByteOffset.push_back(uint32_t(start));
  }
  text.ByteOffset.push_back(uint32_t(length));
  return text;
}

std::string EncodeUtf8(std::u16string_view aUnits) {
  std::string out;
  out.reserve(aUnits.size() * 3);
  for (size_t i = 0; i < aUnits.size();) {
    UChar32 c = 0;
    U16_NEXT(aUnits.data(), i, aUnits.size(), c);
    if (U_IS_SURROGATE(c)) c = 0xFFFD;
    uint8_t buffer[4];
    int32_t n = 0;
    U8_APPEND_UNSAFE(buffer, n, c);
    out.append(reinterpret_cast<const char*>(buffer), size_t(n));
  }
  return out;
}

char32_t CodePointAt(std::u16string_view aUnits, size_t aIndex) {
  UChar32 c = 0;
  U16_GET(aUnits.data(), 0, aIndex, aUnits.size(), c);
  return char32_t(c);
}

}  // namespace Vellix
