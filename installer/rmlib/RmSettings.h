// Process-wide settings and state of the installer's utility library, with their start values.
//
// Everything here belongs to the one thread that runs the installer; nothing is locked. The
// installer itself never changes a setting; they exist so the library keeps its general shape.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Decantor {

// No message boxes: questions answer themselves, errors go to the trace log. Start: false.
bool SilentMode();
void SetSilentMode(bool aValue);

// RaiseFatal shows a stop box and ends the program. Start: true.
bool FatalHalts();
void SetFatalHalts(bool aValue);

// RaiseError writes each error's text to the error log. Start: false.
bool LogErrors();
void SetLogErrors(bool aValue);

// Error-log file name; empty (the start value) means no error log.
const std::string& ErrorLogFile();
void SetErrorLogFile(const std::string& aValue);

// Trace-log file name, used in silent mode only; empty (the start value) means no trace log.
const std::string& TraceFile();
void SetTraceFile(const std::string& aValue);

// CopyFile progress: the callback receives the percentage BytesCopied * 100 / BytesToCopy after
// each chunk. BytesCopied is a running total over all copies since start; AbortCopy stops
// CopyFile after the current chunk. Start: no callback, 0, 0, false.
using TCopyProgress = std::function<void(int32_t Percent)>;
const TCopyProgress& CopyProgress();
void SetCopyProgress(TCopyProgress aValue);
int64_t BytesToCopy();
void SetBytesToCopy(int64_t aValue);
int64_t BytesCopied();
void SetBytesCopied(int64_t aValue);
bool AbortCopy();
void SetAbortCopy(bool aValue);

// Full path of the running program, computed once on first use from /proc/self/exe.
const std::string& OwnPath();

// Number of boxes shown by Warn since start.
int32_t WarningCount();
void IncWarningCount();

// One entry of the colour-name table; Color is 0x00BBGGRR.
struct TColorName {
  const char* Name;
  uint32_t Color;
};

// The sixteen basic colour names in their fixed order (Black first, White last).
const std::vector<TColorName>& ColorNames();
// Positions of Black, White and Silver in ColorNames().
int32_t ColorIndexBlack();
int32_t ColorIndexWhite();
int32_t ColorIndexSilver();

// N copies of Ch (none for N <= 0).
std::string RepeatChar(char Ch, int32_t N);
// The smaller of A and B.
int32_t MinInt(int32_t A, int32_t B);
// 1-based position of the last Ch in S; 0 when absent.
int32_t LastCharPos(char Ch, const std::string& S);

}  // namespace Decantor
