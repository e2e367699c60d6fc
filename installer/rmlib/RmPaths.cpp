#include "RmPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "RmErrors.h"
#include "RmMessages.h"

namespace Decantor {

namespace {

bool EntryExists(const std::string& aPath) {
  struct stat st{};
  return lstat(aPath.c_str(), &st) == 0;
}

bool IsHidden(const std::string& aName) { return !aName.empty() && aName[0] == '.'; }

// Wildcard match of Name against Mask: "*" any run, "?" one character, all else literal.
bool WildMatch(const char* aName, const char* aMask) {
  const char* starMask = nullptr;
  const char* starName = nullptr;
  while (*aName) {
    if (*aMask == '*') {
      starMask = ++aMask;
      starName = aName;
    } else if (*aMask == '?' || *aMask == *aName) {
      ++aMask;
      ++aName;
    } else if (starMask) {
      aMask = starMask;
      aName = ++starName;
    } else {
      return false;
    }
  }
  while (*aMask == '*') ++aMask;
  return *aMask == '\0';
}

// The current local time as days since 30 December 1899, the time of day as fraction.
double NowAsDays() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  double unixSeconds = duration<double>(now.time_since_epoch()).count() + local.tm_gmtoff;
  return 25569.0 + unixSeconds / 86400.0;
}

struct TDirEntry {
  std::string Name;
  bool IsDir;   // a directory, or a link to one
  bool IsLink;
};

std::vector<TDirEntry> ListDir(const std::string& aDir) {
  std::vector<TDirEntry> entries;
  DIR* dir = opendir(aDir.c_str());
  if (!dir) return entries;
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    struct stat st{};
    bool isLink = lstat((aDir + name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    entries.push_back({name, DirExists(aDir + name), isLink});
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const TDirEntry& a, const TDirEntry& b) { return a.Name < b.Name; });
  return entries;
}

}  // namespace

std::string AddBackslash(const std::string& Path) {
  return Path.empty() || Path.back() == '/' ? Path : Path + '/';
}

std::string DelBackslash(const std::string& Path) {
  return !Path.empty() && Path.back() == '/' ? Path.substr(0, Path.size() - 1) : Path;
}

std::string AddLeadingBackslash(const std::string& Path) {
  return Path.empty() || Path[0] == '/' ? Path : '/' + Path;
}

std::string DelLeadingBackslash(const std::string& Path) {
  if (!Path.empty() && Path[0] == '/' && (Path.size() < 2 || Path[1] != '/'))
    return Path.substr(1);
  return Path;
}

std::string ExtractFileName(const std::string& Path) {
  std::size_t slash = Path.rfind('/');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string ExtractFilePath(const std::string& Path) {
  std::size_t slash = Path.rfind('/');
  return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

std::string ExpandFileName(const std::string& Path) {
  std::string full = Path;
  if (full.empty() || full[0] != '/') {
    char* cwd = getcwd(nullptr, 0);
    full = AddBackslash(cwd ? cwd : "/") + full;
    std::free(cwd);
  }
  bool trailing = full.size() > 1 && full.back() == '/';
  std::vector<std::string> parts;
  std::size_t pos = 0;
  while (pos <= full.size()) {
    std::size_t next = full.find('/', pos);
    if (next == std::string::npos) next = full.size();
    std::string part = full.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  std::string result;
  for (const auto& part : parts) result += '/' + part;
  if (result.empty()) return "/";
  return trailing ? result + '/' : result;
}

bool DirExists(const std::string& Path) {
  struct stat st{};
  return !Path.empty() && stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& Path) {
  struct stat st{};
  return !Path.empty() && stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ParentDir(const std::string& Path) {
  std::string p = DelBackslash(Path);
  if (p.size() <= 2) return "";
  // Positions 1 and 2 (0-based 0 and 1) are never taken: they hold the root or a drive-like
  // prefix, whose parent is nothing.
  for (std::size_t i = p.size(); i >= 3; --i)
    if (p[i - 1] == '/') return p.substr(0, i - 1);
  return "";
}

void ForceDirectory(const std::string& Path) {
  if (DirExists(Path)) return;
  std::string parent = ParentDir(Path);
  if (!parent.empty() && !DirExists(parent)) ForceDirectory(parent);
  std::string dir = DelBackslash(Path);
  if (mkdir(dir.c_str(), 0777) != 0 && !(errno == EEXIST && DirExists(dir)))
    RaiseError(kErrCantCreateDir, Path);
}

std::string TempDir() {
  const char* env = std::getenv("TMPDIR");
  if (env && env[0] == '/' && DirExists(env)) return AddBackslash(env);
  return "/tmp/";
}

std::string SystemDir() {
  std::string dir = "/usr/local/lib";
  ForceDirectory(dir);
  return dir;
}

std::string WindowsDir() { return "/usr/local"; }

std::string MakeTempFileName(const std::string& Dir, const std::string& Ext) {
  std::string name;
  do {
    char digits[64];
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, NowAsDays(), std::chars_format::general, 15);
    std::string text(digits, ec == std::errc() ? end : digits);
    std::size_t point = text.find('.');
    if (point != std::string::npos) text.erase(point, 1);
    name = AddBackslash(Dir) + "__" + text + Ext;
  } while (EntryExists(name));
  return name;
}

std::string CreateTempFile(const std::string& Dir, const std::string& Ext, int& Fd) {
  for (;;) {
    std::string name = MakeTempFileName(Dir, Ext);
    Fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (Fd >= 0) return name;
    if (errno != EEXIST) RaiseError(kErrCantOpen, name);
  }
}

bool MatchesMask(const std::string& Name, const std::string& Mask) {
  if (WildMatch(Name.c_str(), Mask.c_str())) return true;
  // "name.*" also stands for a name without any extension.
  if (Mask.size() >= 2 && Mask.compare(Mask.size() - 2, 2, ".*") == 0 &&
      Name.find('.') == std::string::npos)
    return WildMatch(Name.c_str(), Mask.substr(0, Mask.size() - 2).c_str());
  return false;
}

void FindFiles(const std::string& Dir, const std::string& Mask, const std::string& Base,
               std::vector<std::string>& List, bool Recursive) {
  if (!DirExists(Dir)) return;
  std::string dir = AddBackslash(Dir);
  std::vector<TDirEntry> entries = ListDir(dir);
  for (const auto& entry : entries)
    if (!entry.IsDir && !IsHidden(entry.Name) && MatchesMask(entry.Name, Mask))
      List.push_back(EncodePath(dir + entry.Name, Base, false));
  if (!Recursive) return;
  UserInterface().ProcessMessages();
  // Linked directories are not entered: a link back up the tree would never end.
  for (const auto& entry : entries)
    if (entry.IsDir && !entry.IsLink && !IsHidden(entry.Name) && entry.Name >= "0")
      FindFiles(dir + entry.Name, Mask, Base, List, Recursive);
}

std::string EncodePath(const std::string& Path, const std::string& Base, bool AllowMacros) {
  if (Path.empty() || Path[0] != '/') RaiseError(kErrNotAbsolute, Path);
  if (Base.empty()) return Path;
  std::string prefix = AddBackslash(Base);
  if (Path.compare(0, prefix.size(), prefix) == 0) {
    std::string rest = Path.substr(Base.size());
    return FileExists(Base + rest) ? DelLeadingBackslash(rest) : AddLeadingBackslash(rest);
  }
  if (!AllowMacros) RaiseError(kErrOutsideBase, Path);
  std::string dir = DelBackslash(ExtractFilePath(Path));
  std::string macro;
  if (dir == DelBackslash(WindowsDir()))
    macro = "[WindowsDir]";
  else if (dir == DelBackslash(SystemDir()))
    macro = "[SystemDir]";
  else
    macro = "[" + AddBackslash(dir) + "]";
  return macro + ExtractFileName(Path);
}

std::string ReplaceAll(const std::string& Pattern, const std::string& Replacement,
                       const std::string& Text) {
  if (Pattern.empty()) return Text;
  std::string result;
  std::size_t pos = 0;
  for (;;) {
    std::size_t hit = Text.find(Pattern, pos);
    if (hit == std::string::npos) break;
    result.append(Text, pos, hit - pos);
    result += Replacement;
    pos = hit + Pattern.size();
  }
  result.append(Text, pos, std::string::npos);
  return result;
}

std::string LongFileName(const std::string& Path) { return Path; }

}  // namespace Decantor
