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

#if defined(__SSE2__)
// One bit for each of the sixteen bytes that takes a backslash in aMode.
inline unsigned SpecialBytes(__m128i aBytes, uint8_t aMode) {
  // "(" and ")" differ in the lowest bit alone.
  __m128i special = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(aBytes, _mm_set1_epi8(1)), _mm_set1_epi8(')')),
                                 _mm_cmpeq_epi8(aBytes, _mm_set1_epi8('\\')));
  if (aMode == 2)
    special = _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(aBytes, _mm_set1_epi8('\r')),
                                                 _mm_cmpeq_epi8(aBytes, _mm_set1_epi8('\n'))));
  return unsigned(_mm_movemask_epi8(special));
}
#endif

// Whether one of the bytes of two words takes a backslash in aMode.
inline bool NeedsEscape(uint64_t aFirst, uint64_t aSecond, uint8_t aMode) {
#if defined(__SSE2__)
  return SpecialBytes(_mm_set_epi64x(int64_t(aSecond), int64_t(aFirst)), aMode) != 0;
#else
  return NeedsEscape(aFirst, aMode) || NeedsEscape(aSecond, aMode);
#endif
}

template <class T>
T Load(const char* aIn) {
  T value;
  std::memcpy(&value, aIn, sizeof value);
  return value;
}

// A string's last bytes, fewer than sixteen, with no special byte among them
// (the usual case): read and written as two overlapping pieces of a fixed
// size, or as three bytes, instead of byte by byte. Returns the end of what
// was written, or nullptr, having written nothing, when one is special.
inline char* PutShortPlain(char* aOut, const char* aIn, size_t aLength, uint8_t aMode) {
  if (aLength >= 8) {
    const uint64_t first = Load<uint64_t>(aIn), last = Load<uint64_t>(aIn + aLength - 8);
    if (NeedsEscape(first, last, aMode)) return nullptr;
    std::memcpy(aOut, &first, 8);
    std::memcpy(aOut + aLength - 8, &last, 8);
  } else if (aLength >= 4) {
    const uint32_t first = Load<uint32_t>(aIn), last = Load<uint32_t>(aIn + aLength - 4);
    if (NeedsEscape(uint64_t(last) << 32 | first, aMode)) return nullptr;
    std::memcpy(aOut, &first, 4);
    std::memcpy(aOut + aLength - 4, &last, 4);
  } else if (aLength > 0) {
    const char first = aIn[0], middle = aIn[aLength / 2], last = aIn[aLength - 1];
    if ((EscapeTable[uint8_t(first)] | EscapeTable[uint8_t(middle)] | EscapeTable[uint8_t(last)]) & aMode)
      return nullptr;
    aOut[0] = first;
    aOut[aLength / 2] = middle;
    aOut[aLength - 1] = last;
  }
  return aOut + aLength;
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
  while (end - in >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const unsigned mask = SpecialBytes(bytes, mode);
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
  if (end - in < 16) {
    if (char* written = PutShortPlain(aOut, in, size_t(end - in), mode)) return written;
  }
  // Eight bytes at a time: copied whole unless one of them is special.
  for (; end - in >= 8; in += 8) {
    const uint64_t word = Load<uint64_t>(in);
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
