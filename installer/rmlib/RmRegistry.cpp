#include "RmRegistry.h"

#include <strings.h>

#include <map>

#include "RmErrors.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

struct TCaseless {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

using TValues = std::map<std::string, std::string, TCaseless>;
using TKeys = std::map<std::string, TValues, TCaseless>;

// Every key is listed with its full path, so that each parent exists on its own.
const TKeys& Table(TRootKey aRoot) {
  static const TKeys machine = {
      {"Software", {}},
      {"Software\\Microsoft", {}},
      {"Software\\Microsoft\\Windows", {}},
      {"Software\\Microsoft\\Windows\\CurrentVersion", {{"ProgramFilesDir", "/opt"}}},
  };
  static const TKeys user = {{"Software", {}}};
  static const TKeys none;
  switch (aRoot) {
    case HKEY_LOCAL_MACHINE: return machine;
    case HKEY_CURRENT_USER: return user;
    default: return none;
  }
}

}  // namespace

bool TRegistry::OpenKey(const std::string& Key, bool /*CanCreate*/) { return OpenKeyReadOnly(Key); }

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  std::string path;
  if (!Key.empty() && Key[0] == '\\')
    path = Key.substr(1);
  else
    path = FCurrentPath.empty() ? Key : FCurrentPath + "\\" + Key;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.empty() || !Table(FRootKey).count(path)) return false;
  FCurrentPath = path;
  return true;
}

std::string TRegistry::ReadString(const std::string& Name) const {
  const TKeys& keys = Table(FRootKey);
  auto key = keys.find(FCurrentPath);
  if (key == keys.end()) return "";
  auto value = key->second.find(Name);
  return value == key->second.end() ? "" : value->second;
}

bool TRegistry::ValueExists(const std::string& Name) const {
  const TKeys& keys = Table(FRootKey);
  auto key = keys.find(FCurrentPath);
  return key != keys.end() && key->second.count(Name) != 0;
}

std::string RootKeyName(const TRegistry& Reg) {
  switch (Reg.RootKey()) {
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return "";
  }
}

void OpenKeyPath(TRegistry& Reg, const std::string& KeyPath, bool MustExist) {
  std::size_t slash = KeyPath.rfind('\\');
  if (slash != std::string::npos && slash > 0) OpenKeyPath(Reg, KeyPath.substr(0, slash), MustExist);
  std::string component = slash == std::string::npos ? KeyPath : KeyPath.substr(slash + 1);
  if (Reg.OpenKey(component, false) || Reg.OpenKeyReadOnly(component)) return;
  std::string info = RootKeyName(Reg) + "\\" + KeyPath;
  if (MustExist) RaiseError(kErrKeyNotFound, info);
  if (!Reg.OpenKey(component, true)) RaiseError(kErrKeyNotCreated, info);
}

std::string ReadCurrentVersionValue(const std::string& Name) {
  TRegistry reg(HKEY_LOCAL_MACHINE);
  OpenKeyPath(reg, "Software\\Microsoft\\Windows\\CurrentVersion", true);
  return AddBackslash(reg.ReadString(Name));
}

}  // namespace Decantor
