// The error log and the trace log (both off unless their file names are set).
//
// Lines end with LF; time stamps are local "YYYY-MM-DD HH:MM:SS", independent of the locale.
#pragma once

#include <string>

namespace Decantor {

// The current local date and time as "YYYY-MM-DD HH:MM:SS".
std::string DateTimeStamp();

// Appends Text as one line to ErrorLogFile (nothing when the name is empty). When the file
// cannot be written, the names with 1 to 10 inserted before the extension are tried in turn;
// when all eleven fail the line goes to standard error so it is not lost. A fatal entry is
// preceded by two empty lines and stamped: "***** " + date and time + tab + Text.
void WriteErrorLog(const std::string& Text, bool Fatal = false);

// Appends Text to TraceFile (nothing when the name is empty). A new file first receives the
// header line "==== Cindrel Log ====" (20 "=" each side); a Stamped entry is preceded by two
// empty lines and begins with "***** ", the date and time and a tab. A write failure raises
// error 5 with the trace file's name.
void WriteTrace(const std::string& Text, bool Stamped);

}  // namespace Decantor
