#include "writer/PdfSyntax.h"

#include <array>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <vellix/CodePage.h>

namespace Vellix {

namespace {

bool IsNameDelimiter(unsigned char c) {
  switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']':
    case '{': case '}': case '/': case '%': case '#':
      return true;
    default:
      return false;
  }
}

}  // namespace

void AppendHexUnit(std::string& aOut, uint32_t aUnit) {
  static constexpr char digits[] = "0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) aOut += digits[(aUnit >> shift) & 0xF];
}

bool IsAscii(std::string_view aText) {
  for (const char c : aText)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string Ref(int32_t aObjectNo) { return std::to_string(aObjectNo) + " 0 R"; }

namespace {

// For each byte, the escape modes in which it takes a backslash: bit 1 for
// ebKeep, bit 2 for ebLineEnds. One look-up per character of every string
// drawn.
constexpr std::array<uint8_t, 256> EscapeTable = [] {
  std::array<uint8_t, 256> table{};
  for (unsigned char c : {'(', ')', '\\'}) table[c] = 1 | 2;
  for (unsigned char c : {'\n', '\r'}) table[c] = 2;
  return table;
}();

// Whether a byte of aWord equals aByte: the classic test for a zero byte
// after the XOR, exact for whether there is one.
constexpr uint64_t Ones = 0x0101010101010101u;
inline bool HasByte(uint64_t aWord, uint8_t aByte) {
  const uint64_t x = aWord ^ (Ones * aByte);
  return ((x - Ones) & ~x & (Ones << 7)) != 0;
}

// Whether one of the eight bytes of aWord takes a backslash in aMode.
inline bool NeedsEscape(uint64_t aWord, uint8_t aMode) {
  // "(" and ")" differ in the lowest bit alone.
  if (HasByte(aWord | Ones, ')') || HasByte(aWord, '\\')) return true;
  return aMode == 2 && (HasByte(aWord, '\r') || HasByte(aWord, '\n'));
}

}  // namespace

char* PutEscaped(char* aOut, std::string_view aText, TEscapeBreaks aBreaks) {
  const uint8_t mode = aBreaks == ebLineEnds ? 2 : 1;
  const char* in = aText.data();
  const char* const end = in + aText.size();
#if defined(__SSE2__)
  // Sixteen bytes at a time: stored whole, then kept up to the first special
  // byte, which follows its backslash. The output never holds more than
  // twice what was read, so while sixteen bytes are left to read, at least
  // thirty-two bytes of room are left to store them.
  const __m128i paren = _mm_set1_epi8(')'), one = _mm_set1_epi8(1), backslash = _mm_set1_epi8('\\');
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  while (end - in >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    // "(" and ")" differ in the lowest bit alone.
    __m128i special =
        _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(bytes, one), paren), _mm_cmpeq_epi8(bytes, backslash));
    if (mode == 2) special = _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
    const unsigned mask = unsigned(_mm_movemask_epi8(special));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(aOut), bytes);
    if (mask == 0) {
      in += 16;
      aOut += 16;
      continue;
    }
    const int plain = __builtin_ctz(mask);
    in += plain;
    aOut += plain;
    *aOut++ = '\\';
    *aOut++ = *in++;
  }
#endif
  // Eight bytes at a time: copied whole unless one of them is special.
  for (; end - in >= 8; in += 8) {
    uint64_t word;
    std::memcpy(&word, in, 8);
    if (!NeedsEscape(word, mode)) {
      std::memcpy(aOut, &word, 8);
      aOut += 8;
      continue;
    }
    for (int i = 0; i < 8; ++i) {
      if (EscapeTable[uint8_t(in[i])] & mode) *aOut++ = '\\';
      *aOut++ = in[i];
    }
  }
  for (; in < end; ++in) {
    if (EscapeTable[uint8_t(*in)] & mode) *aOut++ = '\\';
    *aOut++ = *in;
  }
  return aOut;
}

void AppendEscaped(std::string& aOut, std::string_view aText, TEscapeBreaks aBreaks) {
  const size_t used = aOut.size();
  aOut.resize(used + 2 * aText.size());
  aOut.resize(size_t(PutEscaped(aOut.data() + used, aText, aBreaks) - aOut.data()));
}

std::string EncodeSpaces(std::string_view aValue) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(aValue.size() + 8);
  for (unsigned char c : aValue) {
    if (c == 0) continue;
    if (c <= 32 || c > 126 || IsNameDelimiter(c)) {
      out += '#';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += char(c);
    }
  }
  return out;
}

std::string NameToken(std::string_view aValue) {
  std::string token = EncodeSpaces(aValue);
  if (token.size() <= MaxNameLength) return token;
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : aValue) hash = (hash ^ c) * 16777619u;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string suffix = "+";
  for (int shift = 28; shift >= 0; shift -= 4) suffix += kHex[(hash >> shift) & 15];
  size_t keep = MaxNameLength - suffix.size();
  // Step back out of an escape that the cut would split.
  if (keep >= 1 && token[keep - 1] == '#') keep -= 1;
  else if (keep >= 2 && token[keep - 2] == '#') keep -= 2;
  token.resize(keep);
  return token + suffix;
}

namespace {

// "(text)", the form of a text string that is ASCII in every encoding.
void AppendLiteral(std::string& aOut, std::string_view aAscii) {
  aOut += '(';
  AppendEscaped(aOut, aAscii);
  aOut += ')';
}

}  // namespace

void AppendTextString(std::string& aOut, std::string_view aAnsi) {
  if (IsAscii(aAnsi)) return AppendLiteral(aOut, aAnsi);
  aOut += "<FEFF";
  // Every code point of code page 1252 lies in the basic plane: one unit each.
  for (const char c : aAnsi) AppendHexUnit(aOut, AnsiToUnicode(static_cast<uint8_t>(c)));
  aOut += '>';
}

void AppendUtf8TextString(std::string& aOut, std::string_view aUtf8) {
  if (IsAscii(aUtf8)) return AppendLiteral(aOut, aUtf8);
  aOut += "<FEFF";
  const auto* bytes = reinterpret_cast<const uint8_t*>(aUtf8.data());
  const int32_t length = int32_t(aUtf8.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) c = 0xFFFD;
    if (U16_LENGTH(c) == 2) {
      AppendHexUnit(aOut, U16_LEAD(c));
      AppendHexUnit(aOut, U16_TRAIL(c));
    } else {
      AppendHexUnit(aOut, uint32_t(c));
    }
  }
  aOut += '>';
}

}  // namespace Vellix
