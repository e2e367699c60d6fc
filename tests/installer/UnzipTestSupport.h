// Helpers for the unzip component tests: the component loaded as the installer
// loads it (dlopen by path), scratch directories, and directory snapshots.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "unzip/UnzipCommand.h"

namespace UnzipTest {

namespace fs = std::filesystem;

inline const std::string kFixtures = UNZIP_FIXTURES;

inline std::string Fixture(const std::string& aName) { return kFixtures + "/" + aName; }

inline TDunzipFunc Dunzip() {
  static TDunzipFunc func = [] {
    void* handle = dlopen(DUNZIP_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      ADD_FAILURE() << dlerror();
      return TDunzipFunc(nullptr);
    }
    return reinterpret_cast<TDunzipFunc>(dlsym(handle, "dunzip"));
  }();
  return func;
}

// A fresh directory removed with everything in it at the end of the test;
// "dest" inside it is the extraction target, "outside" its neighbour.
class TScratch {
 public:
  TScratch() {
    char name[] = "/tmp/dunzip-test-XXXXXX";
    FRoot = mkdtemp(name);
    fs::create_directory(FRoot / "outside");
  }
  ~TScratch() {
    std::error_code ignored;
    fs::remove_all(FRoot, ignored);
  }
  fs::path Root() const { return FRoot; }
  fs::path Dest() const { return FRoot / "dest"; }
  fs::path Outside() const { return FRoot / "outside"; }

 private:
  fs::path FRoot;
};

// Everything below aDir: relative path -> "dir", "link:<target>" or "file:<bytes>".
inline std::map<std::string, std::string> Snapshot(const fs::path& aDir) {
  std::map<std::string, std::string> result;
  if (!fs::exists(aDir)) return result;
  for (auto it = fs::recursive_directory_iterator(aDir); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string rel = it->path().lexically_relative(aDir).string();
    if (it->is_symlink()) {
      result[rel] = "link:" + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      result[rel] = "dir";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      result[rel] = "file:" + bytes.str();
    }
  }
  return result;
}

struct TCall {
  std::string Name;
  int32_t Percent;
  int32_t UserData;
};

// The callbacks of the last run, and an optional cancellation point.
inline std::vector<TCall> gCalls;
inline int gCancelAtCall = -1;

inline int32_t Record(const char* aName, int32_t aPercent, int32_t aUserData) {
  gCalls.push_back({aName, aPercent, aUserData});
  return int(gCalls.size()) == gCancelAtCall ? 0 : -1;
}

struct TResult {
  int32_t Code;
  std::string Message;
  int32_t Count;
};

inline TUnzipCommand NewCommand(int32_t aOperation, const std::string& aZip, TUnzipInfo& aInfo) {
  TUnzipCommand command{};
  command.Size = sizeof command;
  command.Operation = aOperation;
  command.ZipFile = aZip.c_str();
  command.Info = &aInfo;
  command.Overwrite = -1;
  command.Callback = Record;
  command.CallbackData = 77;
  return command;
}

inline TResult Count(const std::string& aZip) {
  TUnzipInfo info{};
  TUnzipCommand command = NewCommand(uoCount, aZip, info);
  const int32_t code = Dunzip()(&command);
  return {code, info.Message, command.EntryCount};
}

inline TResult Extract(const std::string& aZip, const std::string& aDest,
                       const char* aSpec = "*.*", int32_t aOverwrite = -1,
                       int32_t aTestOnly = 0) {
  gCalls.clear();
  TUnzipInfo info{};
  TUnzipCommand command = NewCommand(uoExtract, aZip, info);
  command.FileSpec = aSpec;
  command.DestDir = aDest.c_str();
  command.Overwrite = aOverwrite;
  command.TestOnly = aTestOnly;
  const int32_t code = Dunzip()(&command);
  return {code, info.Message, 0};
}

}  // namespace UnzipTest
