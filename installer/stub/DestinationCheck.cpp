#include "DestinationCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace Decantor {

namespace {

std::string Parent(const std::string& aPath) {
  const size_t end = aPath.find_last_not_of('/');
  if (end == std::string::npos) return "/";
  const size_t slash = aPath.rfind('/', end);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : aPath.substr(0, slash);
}

}  // namespace

std::string DestinationProblem(const std::string& aPath) {
  if (aPath.empty()) return "";
  // The nearest part of the path that exists decides: a file there can hold
  // no directory, and a directory there must let this user add to it.
  std::string probe = aPath;
  struct stat st {};
  while (stat(probe.c_str(), &st) != 0) {
    const std::string parent = Parent(probe);
    if (parent == probe) return "";
    probe = parent;
  }
  if (!S_ISDIR(st.st_mode)) return "Not a directory: " + probe;
  if (access(probe.c_str(), W_OK | X_OK) != 0) return "Can't write to directory: " + probe;
  return "";
}

std::string UserDestination(const std::string& aDefault, const std::string& aProgramFiles) {
  if (geteuid() == 0 || DestinationProblem(aDefault).empty()) return aDefault;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return aDefault;
  return HomeDestination(aDefault, aProgramFiles, home);
}

std::string HomeDestination(const std::string& aDefault, const std::string& aProgramFiles, const std::string& aHome) {
  std::string below;
  if (!aProgramFiles.empty() && aDefault.compare(0, aProgramFiles.size(), aProgramFiles) == 0 &&
      aDefault.size() > aProgramFiles.size() && aDefault[aProgramFiles.size()] == '/') {
    below = aDefault.substr(aProgramFiles.size() + 1);
  } else {
    const size_t end = aDefault.find_last_not_of('/');
    const size_t slash = end == std::string::npos ? std::string::npos : aDefault.rfind('/', end);
    const size_t from = slash == std::string::npos ? 0 : slash + 1;
    below = end == std::string::npos ? std::string() : aDefault.substr(from, end + 1 - from);
  }
  std::string base = aHome;
  if (base.back() != '/') base += '/';
  return base + ".local/opt/" + below;
}

}  // namespace Decantor
