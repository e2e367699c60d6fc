// Helpers shared by the installer tests: a scratch directory and a scripted user interface.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "RmMessages.h"

namespace DecantorTest {

// A fresh directory below the system temporary directory, removed with everything in it.
class TScratchDir {
public:
  TScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "decantor-test-XXXXXX").string();
    FPath = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  // The directory's path, without a final "/".
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& aName) const { return FPath + "/" + aName; }

private:
  std::string FPath;
};

inline void WriteFile(const std::string& aPath, const std::string& aBytes) {
  int fd = open(aPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  [[maybe_unused]] ssize_t n = write(fd, aBytes.data(), aBytes.size());
  close(fd);
}

inline std::string ReadFile(const std::string& aPath) {
  std::string bytes;
  int fd = open(aPath.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  char buf[65536];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return bytes;
}

// Records every box and answers from a script (IDOK when the script is empty). Installed for
// its lifetime.
class TScriptedUi : public Decantor::TUserInterface {
public:
  struct TBox {
    std::string Text;
    std::string Caption;
    uint16_t Flags;
  };
  TScriptedUi() { Decantor::SetUserInterface(this); }
  ~TScriptedUi() override { Decantor::SetUserInterface(nullptr); }
  int32_t MessageBox(const std::string& Text, const std::string& Caption,
                     uint16_t Flags) override {
    Boxes.push_back({Text, Caption, Flags});
    if (Answers.empty()) return Decantor::IDOK;
    int32_t answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  void ProcessMessages() override { ++Processed; }

  std::vector<TBox> Boxes;
  std::deque<int32_t> Answers;
  int Processed = 0;
};

}  // namespace DecantorTest
