#include "FollowUpCommand.h"

#include <fcntl.h>
#include <spawn.h>
#include <strings.h>

#include "RmPaths.h"

extern char** environ;

namespace Decantor {

namespace {

bool IsBlank(char aChar) { return aChar == ' ' || aChar == '\t'; }

bool IsNotepad(const std::string& aProgram) {
  const std::string name = ExtractFileName(aProgram);
  return strcasecmp(name.c_str(), "notepad.exe") == 0 || strcasecmp(name.c_str(), "notepad") == 0;
}

// The template after its first word, as one text.
std::string RestAfterFirstWord(const std::string& aLine) {
  size_t pos = 0;
  while (pos < aLine.size() && IsBlank(aLine[pos])) ++pos;
  bool quoted = false;
  while (pos < aLine.size() && (quoted || !IsBlank(aLine[pos]))) {
    if (aLine[pos] == '"') quoted = !quoted;
    ++pos;
  }
  while (pos < aLine.size() && IsBlank(aLine[pos])) ++pos;
  std::string rest = aLine.substr(pos);
  while (!rest.empty() && IsBlank(rest.back())) rest.pop_back();
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
    rest = rest.substr(1, rest.size() - 2);
  return rest;
}

}  // namespace

std::vector<std::string> SplitCommandWords(const std::string& aLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (const char c : aLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (IsBlank(c) && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

TFollowUpCommand BuildFollowUpCommand(const std::string& aTemplate, const std::string& aDestDir) {
  TFollowUpCommand command;
  const std::vector<std::string> words = SplitCommandWords(aTemplate);
  if (words.empty()) return command;
  const bool relative = ReplaceAll("$", aDestDir, aTemplate).find('/') == std::string::npos;
  if (IsNotepad(words[0])) {
    command.Program = "xdg-open";
    std::string file = ReplaceAll("$", aDestDir, RestAfterFirstWord(aTemplate));
    if (!file.empty()) {
      if (file.find('/') == std::string::npos) file = aDestDir + "/" + file;
      command.Arguments.push_back(file);
    }
    return command;
  }
  command.Program = ReplaceAll("$", aDestDir, words[0]);
  if (relative) command.Program = aDestDir + "/" + command.Program;
  for (size_t i = 1; i < words.size(); ++i)
    command.Arguments.push_back(ReplaceAll("$", aDestDir, words[i]));
  return command;
}

bool StartDetached(const TFollowUpCommand& aCommand) {
  if (aCommand.Program.empty()) return false;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(aCommand.Program.c_str()));
  for (const std::string& argument : aCommand.Arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int result =
      posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0;
}

}  // namespace Decantor
