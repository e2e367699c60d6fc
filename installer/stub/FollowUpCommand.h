// The command an installer runs after extraction, started without a shell.
//
// The record's command line is split into words before "$" is replaced by the
// destination: spaces separate words, double quotes group them, and no other
// character is special. The destination, which the user may have typed, thus
// always stays inside the word where "$" stood, whatever it contains (spaces,
// quotes, ";", "$(...)"): it can never become a further argument or a command.
//
// A command whose program is Notepad ("Notepad.exe", as Windows records name
// the read-me viewer) opens the rest of its line, taken as one file name as
// Notepad takes it, with the desktop's opener, xdg-open.
#pragma once

#include <string>
#include <vector>

namespace Decantor {

struct TFollowUpCommand {
  std::string Program;                 // a path, or a name looked up in PATH
  std::vector<std::string> Arguments;  // without the program itself
};

// The words of aLine: separated by spaces or tabs, double quotes group and are
// removed (an unclosed quote runs to the end), an empty quoted word counts.
std::vector<std::string> SplitCommandWords(const std::string& aLine);

// The command to start for the record's command aTemplate (trimmed, "$" not
// yet replaced) and the destination aDestDir (no final "/"). When the command
// with "$" replaced contains no "/", the program is taken from the destination
// directory. Program is empty for an empty template.
TFollowUpCommand BuildFollowUpCommand(const std::string& aTemplate, const std::string& aDestDir);

// Starts aCommand in a session of its own with standard input from /dev/null
// and returns without waiting for it. False when it could not be started.
bool StartDetached(const TFollowUpCommand& aCommand);

}  // namespace Decantor
