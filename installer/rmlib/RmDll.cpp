#include "RmDll.h"

#include <dlfcn.h>
#include <sys/statvfs.h>

#include "RmErrors.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

std::string& LastError() {
  static std::string text;
  return text;
}

}  // namespace

bool IsOnNoExecMount(const std::string& Path) {
  struct statvfs fs{};
  return statvfs(Path.c_str(), &fs) == 0 && (fs.f_flag & ST_NOEXEC) != 0;
}

void LoadDll(const std::string& Path, TDllHandle& Handle) {
  if (Path.find('/') != std::string::npos && !FileExists(Path))
    RaiseErrorLogged(kErrFileNotFound, Path);
  Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (Handle) return;
  const char* why = dlerror();
  LastError() = why ? why : "";
  std::string info = Path;
  if (IsOnNoExecMount(Path)) info += " (file system mounted noexec)";
  RaiseErrorLogged(kErrCantLoad, info);
}

void FreeDll(TDllHandle& Handle) {
  if (Handle) dlclose(Handle);
  Handle = nullptr;
}

const std::string& LastDllError() { return LastError(); }

void* FindProc(const std::string& Name, TDllHandle Handle) {
  return Handle ? dlsym(Handle, Name.c_str()) : nullptr;
}

void* GetProc(const std::string& Name, TDllHandle Handle) {
  void* proc = FindProc(Name, Handle);
  if (!proc) RaiseErrorLogged(kErrFuncNotFound, Name);
  return proc;
}

void RegisterOcx(const std::string& Path, bool Register) {
  if (!FileExists(Path)) return;
  try {
    TDllHandle handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return;
    const TDllOwner owner(handle);  // unloads on every way out
    auto registerProc = reinterpret_cast<TDllRegisterProc>(GetProc("DllRegisterServer", handle));
    auto unregisterProc =
        reinterpret_cast<TDllRegisterProc>(GetProc("DllUnregisterServer", handle));
    unregisterProc();
    if (Register) registerProc();
  } catch (const EMerovantError&) {
    throw;
  } catch (...) {
    RaiseError(kErrInternal, "RegisterOcx");
  }
}

}  // namespace Decantor
