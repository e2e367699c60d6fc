// Helpers for the end-to-end installer tests: installers built with
// decantor-pack from trees the tests write, and runs of them in a private
// mount namespace where /usr/local/lib and /opt are directories of the test.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace InstallerRun {

namespace fs = std::filesystem;

inline std::string Quote(const std::string& aText) {
  std::string quoted = "'";
  for (const char c : aText) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

inline std::string Slurp(const std::string& aPath) { return DecantorTest::ReadFile(aPath); }

inline void Put(const std::string& aPath, const std::string& aBytes, fs::perms aMode =
                                                                         fs::perms(0644)) {
  fs::create_directories(fs::path(aPath).parent_path());
  DecantorTest::WriteFile(aPath, aBytes);
  fs::permissions(aPath, aMode);
}

struct TResult {
  int Status = -1;
  std::string Output;  // standard output and standard error together
};

inline TResult Shell(const std::string& aCommand) {
  TResult result;
  FILE* pipe = popen((aCommand + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Output.append(buffer, got);
  const int status = pclose(pipe);
  result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

// True when this process may create mount namespaces (root in CI).
inline bool CanUseMountNamespace() {
  static const bool can =
      geteuid() == 0 && Shell("unshare -m sh -c 'mount --make-rprivate / && true'").Status == 0;
  return can;
}

// A scratch area with the directories a run sees as /opt, /usr/local/lib and
// its temporary directory.
class TSandbox {
 public:
  TSandbox() {
    fs::create_directories(Opt());
    fs::create_directories(SystemDir());
    fs::create_directories(Temp());
  }
  std::string Root() const { return FScratch.Path(); }
  std::string Opt() const { return FScratch / "opt"; }
  std::string SystemDir() const { return FScratch / "syslib"; }
  std::string Temp() const { return FScratch / "tmp"; }
  std::string operator/(const std::string& aName) const { return FScratch / aName; }

  // Packs an installer from aTree (relative path -> content; names ending in
  // "*" are written executable without the star) with decantor-pack options.
  std::string Pack(const std::map<std::string, std::string>& aTree,
                   const std::string& aOptions, const std::string& aName = "setup",
                   const std::string& aUnzip = DUNZIP_PATH) {
    const std::string tree = FScratch / ("tree-" + aName);
    fs::create_directories(tree);  // an empty tree packs an empty archive
    for (const auto& [name, content] : aTree) {
      if (!name.empty() && name.back() == '*')
        Put(tree + "/" + name.substr(0, name.size() - 1), content, fs::perms(0755));
      else
        Put(tree + "/" + name, content);
    }
    const std::string output = FScratch / aName;
    const TResult packed = Shell(std::string(DECANTOR_PACK) + " --stub " + Quote(DECANTOR_STUB) +
                                 " --unzip " + Quote(aUnzip) + " --window " + Quote(DECANTOR_WINDOW) +
                                 " --folder " + Quote(tree) +
                                 " --output " + Quote(output) + " " + aOptions);
    EXPECT_EQ(packed.Status, 0) << packed.Output;
    return output;
  }

  // Runs aInstaller on the console with aArguments and aInput as standard
  // input, in a mount namespace of its own; aSetup runs there first. aFace
  // is the face option ("" lets the installer choose).
  TResult Run(const std::string& aInstaller, const std::string& aArguments,
              const std::string& aInput, const std::string& aSetup = "true",
              const std::string& aFace = "--console") {
    DecantorTest::WriteFile(FScratch / "input", aInput);
    const std::string script =
        "set -e; mount --make-rprivate /; mount --bind " + Quote(SystemDir()) +
        " /usr/local/lib; mount --bind " + Quote(Opt()) + " /opt; " + aSetup + "; exec env TMPDIR=" +
        Quote(Temp()) + " " + Quote(aInstaller) + " " + aFace + " " + aArguments + " < " +
        Quote(FScratch / "input");
    // A hard limit: a run that hangs is killed and fails, never holds the suite.
    return Shell("timeout -k 5 120 unshare -m sh -c " + Quote(script));
  }

 private:
  DecantorTest::TScratchDir FScratch;
};

// The names of the entries below aDir, relative, sorted.
inline std::vector<std::string> Listing(const std::string& aDir) {
  std::vector<std::string> names;
  if (!fs::exists(aDir)) return names;
  for (auto it = fs::recursive_directory_iterator(aDir); it != fs::recursive_directory_iterator();
       ++it)
    names.push_back(it->path().lexically_relative(aDir).string());
  std::sort(names.begin(), names.end());
  return names;
}

// Waits up to two seconds for a file written by a detached command.
inline bool WaitForFile(const std::string& aPath) {
  for (int i = 0; i < 200 && !fs::exists(aPath); ++i) usleep(10000);
  return fs::exists(aPath);
}

}  // namespace InstallerRun
