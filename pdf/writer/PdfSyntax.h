#pragma once
// The small pieces of PDF syntax that every object writer needs: references,
// literal strings and names.

#include <cstdint>
#include <string>
#include <string_view>

namespace Vellix {

// "n 0 R".
std::string Ref(int32_t aObjectNo);

// Which characters of a literal string get a backslash: always "\", "(" and
// ")"; with ebLineEnds also CR and LF, whose raw bytes a reader would
// otherwise turn into a line end of its own (text shown on a page).
enum TEscapeBreaks { ebKeep, ebLineEnds };

// Appends the body of a PDF literal string (without the parentheses).
void AppendEscaped(std::string& aOut, std::string_view aText, TEscapeBreaks aBreaks = ebKeep);
// The same written at aOut, which has room for twice aText's length; returns
// the end of what was written.
char* PutEscaped(char* aOut, std::string_view aText, TEscapeBreaks aBreaks);

// Appends aAnsi (code page 1252 text) as a PDF text string, the kind a reader
// shows in its own panels (outline titles): "(...)" when every character is
// ASCII, else "<FEFF...>", the UTF-16BE hex string, since code page 1252 and
// the readers' PDFDocEncoding differ above 127.
void AppendTextString(std::string& aOut, std::string_view aAnsi);

// The same for UTF-8 text (documents whose text encoding is UTF-8): "(...)"
// when it is all ASCII, else its UTF-16BE in hex, an ill-formed sequence as
// U+FFFD.
void AppendUtf8TextString(std::string& aOut, std::string_view aUtf8);

// Appends the low 16 bits of aUnit as four upper-case hex digits (the units
// of UTF-16 hex strings and the codes of character maps).
void AppendHexUnit(std::string& aOut, uint32_t aUnit);

// No byte of aText is above 127.
bool IsAscii(std::string_view aText);

// aValue as the characters of a PDF name: blanks become "#20", and the other
// characters a name cannot hold as they are (delimiters, "#", controls, bytes
// above 126) "#" and two hex digits. A NUL byte cannot stand in a name at all
// and is left out.
std::string EncodeSpaces(std::string_view aValue);

// The longest name token readers accept, in bytes as written.
inline constexpr size_t MaxNameLength = 127;

// EncodeSpaces(aValue), kept within MaxNameLength: a longer name is cut (never
// inside a "#xx") and ends in "+" and eight hex digits of a hash of the whole
// value, so two long names that share their start stay apart, and the same
// name always gives the same token.
std::string NameToken(std::string_view aValue);

}  // namespace Vellix
