// Error codes, their texts and the one exception class of the installer.
//
// Every failure of the installer travels as an EMerovantError carrying a library error code and
// an Info text (usually a path or a routine name). Its message is built from the code's text in
// the message table and the Info by ErrorText.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace Decantor {

// Longest text kept in an 8-bit "short string" field such as EMerovantError::Info.
inline constexpr std::size_t kShortStringMax = 255;

// Returns the first 255 characters of S.
std::string ShortStr(const std::string& S);

// Error codes raised by the library. Codes that appear in the message table but are raised
// only by callers are used as plain numbers.
inline constexpr int32_t kErrInternal = 1;          // "Internal error"
inline constexpr int32_t kErrShortWrite = 2;        // fewer bytes written than read
inline constexpr int32_t kErrFileNotFound = 4;      // "File not found"
inline constexpr int32_t kErrCantOpen = 5;          // "Can't open file"
inline constexpr int32_t kErrNoSystemDir = 7;       // system or Windows directory unavailable
inline constexpr int32_t kErrCantCreate = 9;        // copy target cannot be created
inline constexpr int32_t kErrFileLocked = 11;       // "File locked"
inline constexpr int32_t kErrCantLoad = 12;         // "Can't load"
inline constexpr int32_t kErrOutsideBase = 14;      // path outside the base, macros not allowed
inline constexpr int32_t kErrCantCreateDir = 15;    // "Can't create directory"
inline constexpr int32_t kErrNotAbsolute = 25;      // path not absolute
inline constexpr int32_t kErrKeyNotFound = 28;      // "Key not found in Configuration Parameters"
inline constexpr int32_t kErrFuncNotFound = 30;     // "Function not found in DLL"
inline constexpr int32_t kErrKeyNotCreated = 59;    // registry key cannot be created
inline constexpr int32_t kErrSilentMessage = 1280;  // message box requested in silent mode

// The installer's exception. what() is ErrorText(ErrorCode, Info, "").
class EMerovantError : public std::runtime_error {
public:
  // Info is cut to 255 characters.
  EMerovantError(int32_t aCode, const std::string& aInfo);

  // The library error code; 0 means the Info is the whole message.
  int32_t ErrorCode() const noexcept { return FErrorCode; }
  // The detail given when the error was raised (at most 255 characters).
  const std::string& Info() const noexcept { return FInfo; }
  // The message text (same as what()).
  std::string Message() const { return what(); }

private:
  int32_t FErrorCode;
  std::string FInfo;
};

// The text of Code in the message table; empty for codes without a text of their own.
std::string ErrorTableText(int32_t Code);

// Replaces the message table for every non-zero code: it receives the code and an empty text and
// may fill the text in; a text left empty becomes "Error " and the number. An empty function
// restores the table (the start state).
using TMessageTextOverride = std::function<void(int32_t Code, std::string& Text)>;
void SetMessageTextOverride(TMessageTextOverride aOverride);

// T + S, unless T already ends with S, "!" or ".". An empty S never changes T.
std::string AddSuffix(const std::string& T, const std::string& S);

// The text of an error: for code 0 the Info alone; otherwise the code's text (override, table,
// or "Error n"), every "//" in it turned into CR LF, then " : " and the Info with Suffix added.
// An Info longer than 200 characters goes on a line of its own after " :" and ends with ".".
std::string ErrorText(int32_t Code, const std::string& Info, const std::string& Suffix);

// Raises EMerovantError(Code, Info); when LogErrors is set (and Code is none of 8, 26, 27, 46)
// the text is first written to the error log.
[[noreturn]] void RaiseError(int32_t Code, const std::string& Info);

// As RaiseError; in silent mode the error is first written to the trace log.
[[noreturn]] void RaiseErrorLogged(int32_t Code, const std::string& Info);

// An unrecoverable error: logged as fatal; in silent mode raised as RaiseErrorLogged; otherwise
// the tray windows are closed and, when FatalHalts is set (the default), a stop box with the
// text is shown and the program exits with status 1. With FatalHalts cleared the error is shown
// as a warning and RaiseFatal returns.
void RaiseFatal(int32_t Code, const std::string& Info);

}  // namespace Decantor
