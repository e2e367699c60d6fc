#include <vellix/CodePage.h>

namespace Vellix {

namespace {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

void AppendUtf8(std::string& aOut, char32_t aCode) {
  if (aCode < 0x80) {
    aOut += char(aCode);
  } else if (aCode < 0x800) {
    aOut += char(0xC0 | (aCode >> 6));
    aOut += char(0x80 | (aCode & 0x3F));
  } else {
    aOut += char(0xE0 | (aCode >> 12));
    aOut += char(0x80 | ((aCode >> 6) & 0x3F));
    aOut += char(0x80 | (aCode & 0x3F));
  }
}

}  // namespace

char32_t AnsiToUnicode(uint8_t aCode) {
  if (aCode >= 0x80 && aCode < 0xA0) return kHighControls[aCode - 0x80];
  return aCode;
}

int32_t UnicodeToAnsi(char32_t aCodePoint) {
  if (aCodePoint < 0x80 || (aCodePoint >= 0xA0 && aCodePoint <= 0xFF)) return int32_t(aCodePoint);
  for (int32_t i = 0; i < 32; ++i)
    if (kHighControls[i] == aCodePoint) return 0x80 + i;
  return -1;
}

std::string Utf8ToAnsi(std::string_view aUtf8) {
  std::string out;
  out.reserve(aUtf8.size());
  const auto* p = reinterpret_cast<const uint8_t*>(aUtf8.data());
  const size_t n = aUtf8.size();
  size_t i = 0;
  while (i < n) {
    const uint8_t b = p[i];
    if (b < 0x80) {
      out += char(b);
      ++i;
      continue;
    }
    // Length and lowest valid value of the sequence this lead byte starts;
    // overlong forms, surrogates and stray continuation bytes are malformed.
    size_t len = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) len = 2, cp = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) len = 3, cp = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) len = 4, cp = b & 0x07, min = 0x10000;
    bool ok = len != 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    const int32_t code = UnicodeToAnsi(cp);
    out += code < 0 ? '?' : char(code);
    i += len;
  }
  return out;
}

std::string AnsiToUtf8(std::string_view aAnsi) {
  std::string out;
  out.reserve(aAnsi.size() + aAnsi.size() / 4);
  for (char c : aAnsi) AppendUtf8(out, AnsiToUnicode(uint8_t(c)));
  return out;
}

}  // namespace Vellix
