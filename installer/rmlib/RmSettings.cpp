#include "RmSettings.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "RmPaths.h"

namespace Decantor {

namespace {

struct TSettings {
  bool SilentMode = false;
  bool FatalHalts = true;
  bool LogErrors = false;
  std::string ErrorLogFile;
  std::string TraceFile;
  TCopyProgress CopyProgress;
  int64_t BytesToCopy = 0;
  int64_t BytesCopied = 0;
  bool AbortCopy = false;
  int32_t WarningCount = 0;
};

TSettings& Settings() {
  static TSettings settings;
  return settings;
}

std::string ComputeOwnPath() {
  std::string reported(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", reported.data(), reported.size());
  reported.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  std::string longName = LongFileName(reported);
  if (longName.size() == reported.size() && strcasecmp(longName.c_str(), reported.c_str()) == 0)
    return longName;
  return reported;
}

int32_t IndexOfColor(const char* aName) {
  const auto& names = ColorNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (std::strcmp(names[i].Name, aName) == 0) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

bool SilentMode() { return Settings().SilentMode; }
void SetSilentMode(bool aValue) { Settings().SilentMode = aValue; }
bool FatalHalts() { return Settings().FatalHalts; }
void SetFatalHalts(bool aValue) { Settings().FatalHalts = aValue; }
bool LogErrors() { return Settings().LogErrors; }
void SetLogErrors(bool aValue) { Settings().LogErrors = aValue; }
const std::string& ErrorLogFile() { return Settings().ErrorLogFile; }
void SetErrorLogFile(const std::string& aValue) { Settings().ErrorLogFile = aValue; }
const std::string& TraceFile() { return Settings().TraceFile; }
void SetTraceFile(const std::string& aValue) { Settings().TraceFile = aValue; }
const TCopyProgress& CopyProgress() { return Settings().CopyProgress; }
void SetCopyProgress(TCopyProgress aValue) { Settings().CopyProgress = std::move(aValue); }
int64_t BytesToCopy() { return Settings().BytesToCopy; }
void SetBytesToCopy(int64_t aValue) { Settings().BytesToCopy = aValue; }
int64_t BytesCopied() { return Settings().BytesCopied; }
void SetBytesCopied(int64_t aValue) { Settings().BytesCopied = aValue; }
bool AbortCopy() { return Settings().AbortCopy; }
void SetAbortCopy(bool aValue) { Settings().AbortCopy = aValue; }
int32_t WarningCount() { return Settings().WarningCount; }
void IncWarningCount() { ++Settings().WarningCount; }

const std::string& OwnPath() {
  static const std::string path = ComputeOwnPath();
  return path;
}

const std::vector<TColorName>& ColorNames() {
  static const std::vector<TColorName> names = {
      {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
      {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
      {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
      {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
  };
  return names;
}

int32_t ColorIndexBlack() {
  static const int32_t index = IndexOfColor("Black");
  return index;
}
int32_t ColorIndexWhite() {
  static const int32_t index = IndexOfColor("White");
  return index;
}
int32_t ColorIndexSilver() {
  static const int32_t index = IndexOfColor("Silver");
  return index;
}

std::string RepeatChar(char Ch, int32_t N) {
  return N > 0 ? std::string(static_cast<std::size_t>(N), Ch) : std::string();
}

int32_t MinInt(int32_t A, int32_t B) { return std::min(A, B); }

int32_t LastCharPos(char Ch, const std::string& S) {
  std::size_t pos = S.rfind(Ch);
  return pos == std::string::npos ? 0 : static_cast<int32_t>(pos + 1);
}

}  // namespace Decantor
