// The configuration registry of this platform: a small read-only table of keys and string
// values, in the shape of the Windows registry, that gives the installer its fixed directories.
//
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion holds ProgramFilesDir = "/opt".
// Key paths use "\" between keys (they are not file paths); keys and value names are compared
// ignoring ASCII letter case, as in the registry.
#pragma once

#include <string>

namespace Decantor {

enum TRootKey { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

// A cursor on the table: a root and the key currently open below it.
class TRegistry {
public:
  // Starts at Root with no key open.
  explicit TRegistry(TRootKey aRoot = HKEY_CURRENT_USER) : FRootKey(aRoot) {}

  TRootKey RootKey() const { return FRootKey; }
  // Path of the open key below the root, "" when none is open.
  const std::string& CurrentPath() const { return FCurrentPath; }

  // Opens Key relative to the open key (from the root when it starts with "\"). The table is
  // read-only, so CanCreate cannot add a missing key; false when the key is missing.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // As OpenKey, without creating.
  bool OpenKeyReadOnly(const std::string& Key);
  // The string value Name of the open key; "" when it has no such value.
  std::string ReadString(const std::string& Name) const;
  bool ValueExists(const std::string& Name) const;

private:
  TRootKey FRootKey;
  std::string FCurrentPath;
};

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" for those roots, "" for any other.
std::string RootKeyName(const TRegistry& Reg);

// Opens KeyPath component by component. A missing component: with MustExist, error 28 with the
// root name, "\" and the key path down to that component; without, the key is created, which
// the read-only table refuses with error 59 and the same Info.
void OpenKeyPath(TRegistry& Reg, const std::string& KeyPath, bool MustExist);

// The value Name of HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion with a final
// "/" ("" when the value is missing): ReadCurrentVersionValue("ProgramFilesDir") is "/opt/".
std::string ReadCurrentVersionValue(const std::string& Name);

}  // namespace Decantor
