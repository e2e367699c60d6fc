#include "platform/os/Launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace Vellix::Launcher {

namespace {

bool IsExecutableFile(const std::string& aPath) {
  struct stat st {};
  return ::stat(aPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(aPath.c_str(), X_OK) == 0;
}

std::vector<std::string> SplitList(const std::string& aText, char aSeparator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= aText.size()) {
    const size_t end = aText.find(aSeparator, start);
    const std::string part = aText.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Environment(const char* aName, const std::string& aDefault) {
  const char* value = std::getenv(aName);
  return value != nullptr && *value != '\0' ? std::string(value) : aDefault;
}

std::vector<char*> ArgumentPointers(std::vector<std::string>& aArguments) {
  std::vector<char*> pointers;
  for (std::string& a : aArguments) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs a query program and returns what it printed on standard output.
std::string RunAndCapture(const std::string& aProgram, std::vector<std::string> aArguments) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return "";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  aArguments.insert(aArguments.begin(), aProgram);
  std::vector<char*> argv = ArgumentPointers(aArguments);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, aProgram.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string output;
  if (rc == 0) {
    char chunk[4096];
    for (;;) {
      const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      output.append(chunk, size_t(n));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) output.clear();
  }
  ::close(fds[0]);
  return output;
}

std::string Trim(const std::string& aText) {
  const size_t first = aText.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = aText.find_last_not_of(" \t\r\n");
  return aText.substr(first, last - first + 1);
}

std::string ExecOfDesktopFile(const std::string& aPath) {
  std::ifstream in(aPath);
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (!line.empty() && line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (inEntry && line.compare(0, 5, "Exec=") == 0) return line.substr(5);
  }
  return "";
}

}  // namespace

std::string FindOnPath(const std::string& aName) {
  if (aName.empty()) return "";
  if (aName.find('/') != std::string::npos) return IsExecutableFile(aName) ? aName : "";
  for (const std::string& dir : SplitList(Environment("PATH", "/usr/local/bin:/usr/bin:/bin"), ':')) {
    const std::string candidate = dir + "/" + aName;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return "";
}

std::string FindDesktopFile(const std::string& aDesktopId) {
  if (aDesktopId.empty() || aDesktopId.find('/') != std::string::npos) return "";
  std::vector<std::string> dirs;
  const char* home = std::getenv("HOME");
  dirs.push_back(Environment("XDG_DATA_HOME", home != nullptr ? std::string(home) + "/.local/share" : ""));
  for (const std::string& d : SplitList(Environment("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':'))
    dirs.push_back(d);
  for (const std::string& dir : dirs) {
    if (dir.empty()) continue;
    const std::string candidate = dir + "/applications/" + aDesktopId;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate;
  }
  return "";
}

std::vector<std::string> SplitExec(const std::string& aExec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < aExec.size(); ++i) {
    const char c = aExec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < aExec.size()) {
        word += aExec[++i];
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t') {
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

TLaunchCommand FindPdfViewer() {
  const std::string xdgMime = FindOnPath("xdg-mime");
  if (!xdgMime.empty()) {
    const std::string desktopId = Trim(RunAndCapture(xdgMime, {"query", "default", "application/pdf"}));
    const std::string desktopFile = FindDesktopFile(desktopId);
    if (!desktopFile.empty()) {
      std::vector<std::string> words = SplitExec(ExecOfDesktopFile(desktopFile));
      if (!words.empty()) {
        const std::string program = FindOnPath(words.front());
        if (!program.empty()) return TLaunchCommand{program, std::vector<std::string>(words.begin() + 1, words.end())};
      }
    }
  }
  const std::string xdgOpen = FindOnPath("xdg-open");
  if (!xdgOpen.empty()) return TLaunchCommand{xdgOpen, {}};
  return {};
}

TLaunchCommand FindWebBrowser() {
  for (const char* name : {"x-www-browser", "xdg-open"}) {
    const std::string program = FindOnPath(name);
    if (!program.empty()) return TLaunchCommand{program, {}};
  }
  return {};
}

std::vector<std::string> CommandLine(const TLaunchCommand& aCommand, const std::string& aTarget) {
  std::vector<std::string> argv{aCommand.Program};
  bool placed = false;
  for (const std::string& a : aCommand.Arguments) {
    if (a == "%i" || a == "%c" || a == "%k") continue;
    // Field codes: %f %F %u %U become the target (once), %% a percent sign;
    // any other code is dropped.
    std::string arg;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] != '%' || i + 1 >= a.size()) {
        arg += a[i];
        continue;
      }
      const char code = a[++i];
      if (code == '%') {
        arg += '%';
      } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        if (!placed) arg += aTarget;
        placed = true;
      }
    }
    if (!arg.empty() || a.empty()) argv.push_back(arg);
  }
  if (!placed) argv.push_back(aTarget);
  return argv;
}

bool LaunchDetached(const TLaunchCommand& aCommand, const std::string& aTarget) {
  if (aCommand.Empty()) return false;
  // A short-lived shell puts the program in the background and exits at once,
  // so the program is re-parented and never becomes a zombie of ours.
  std::vector<std::string> args{"/bin/sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &"};
  for (const std::string& a : CommandLine(aCommand, aTarget)) args.push_back(a);
  std::vector<char*> argv = ArgumentPointers(args);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace Vellix::Launcher
