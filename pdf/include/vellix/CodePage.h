#pragma once
// Text in the library is 8-bit "ANSI" text in the Windows code page 1252 (the
// encoding the PDF's /WinAnsiEncoding describes). Most C++ programs on Linux
// hold UTF-8; these helpers convert between the two so that such a program can
// pass its strings to TextOut, TextWidth and the other text operations.

#include <vellix/Export.h>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vellix {

// The Unicode code point of an ANSI character. The five codes that code page
// 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// of the same value, as Windows does.
VELLIX_API char32_t AnsiToUnicode(uint8_t aCode);

// The ANSI code of a code point, or -1 when code page 1252 cannot hold it.
VELLIX_API int32_t UnicodeToAnsi(char32_t aCodePoint);

// Converts UTF-8 text to code page 1252. A character that the code page cannot
// hold becomes "?" (one per character), and so does each byte of a malformed
// UTF-8 sequence. Example: Utf8ToAnsi("\xE2\x82\xAC 5") gives "\x80 5" (the euro
// sign is 0x80 in code page 1252).
VELLIX_API std::string Utf8ToAnsi(std::string_view aUtf8);

// Converts code-page 1252 text to UTF-8 (every byte has a code point, so the
// conversion loses nothing).
VELLIX_API std::string AnsiToUtf8(std::string_view aAnsi);

}  // namespace Vellix
