#include "RmLog.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "RmErrors.h"
#include "RmSettings.h"

namespace Decantor {

namespace {

bool AppendTo(const std::string& aFile, const std::string& aText) {
  std::FILE* f = std::fopen(aFile.c_str(), "ab");
  if (!f) return false;
  bool ok = std::fwrite(aText.data(), 1, aText.size(), f) == aText.size();
  return std::fclose(f) == 0 && ok;
}

// log.txt -> log<n>.txt; a name without extension gets the number at its end.
std::string NumberedName(const std::string& aFile, int aNumber) {
  std::size_t slash = aFile.rfind('/');
  std::size_t dot = aFile.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = aFile.size();
  return aFile.substr(0, dot) + std::to_string(aNumber) + aFile.substr(dot);
}

std::string StampedEntry(const std::string& aText) {
  return "\n\n***** " + DateTimeStamp() + "\t" + aText + "\n";
}

}  // namespace

std::string DateTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return buf;
}

void WriteErrorLog(const std::string& Text, bool Fatal) {
  const std::string& file = ErrorLogFile();
  if (file.empty()) return;
  std::string entry = Fatal ? StampedEntry(Text) : Text + "\n";
  if (AppendTo(file, entry)) return;
  for (int n = 1; n <= 10; ++n)
    if (AppendTo(NumberedName(file, n), entry)) return;
  std::fputs(entry.c_str(), stderr);
}

void WriteTrace(const std::string& Text, bool Stamped) {
  const std::string& file = TraceFile();
  if (file.empty()) return;
  struct stat st{};
  std::string entry;
  if (stat(file.c_str(), &st) != 0)
    entry = std::string(20, '=') + " Cindrel Log " + std::string(20, '=') + "\n";
  entry += Stamped ? StampedEntry(Text) : Text + "\n";
  if (!AppendTo(file, entry)) RaiseError(kErrCantOpen, file);
}

}  // namespace Decantor
