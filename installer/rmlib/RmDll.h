// Loading shared libraries by path and registering self-registering ones.
#pragma once

#include <cstdint>
#include <string>

namespace Decantor {

// A loaded library; nullptr when none.
using TDllHandle = void*;

// The registration exports a self-registering library provides:
//   extern "C" int32_t DllRegisterServer(void);  extern "C" int32_t DllUnregisterServer(void);
using TDllRegisterProc = int32_t (*)();

// Loads the library Path (dlopen, all symbols bound now, kept local) into Handle. A Path with a
// directory part that names no file: error 4 with Path. A failed load: Handle = nullptr and
// error 12 with Path; when the file lies on a file system mounted noexec (which forbids
// loading code from it), the Info says so after the path. Both go through RaiseErrorLogged.
void LoadDll(const std::string& Path, TDllHandle& Handle);

// Unloads Handle when it is set and clears it.
void FreeDll(TDllHandle& Handle);

// Owns a loaded library and unloads it when destroyed or reset. Move-only.
class TDllOwner {
public:
  TDllOwner() = default;
  explicit TDllOwner(TDllHandle aHandle) : FHandle(aHandle) {}
  ~TDllOwner() { Reset(); }
  TDllOwner(TDllOwner&& aOther) noexcept : FHandle(aOther.FHandle) { aOther.FHandle = nullptr; }
  TDllOwner& operator=(TDllOwner&&) = delete;
  TDllOwner(const TDllOwner&) = delete;
  TDllOwner& operator=(const TDllOwner&) = delete;

  TDllHandle Get() const { return FHandle; }
  // Unloads what is held, then loads Path as LoadDll does.
  void Load(const std::string& Path) {
    Reset();
    LoadDll(Path, FHandle);
  }
  void Reset() { FreeDll(FHandle); }

private:
  TDllHandle FHandle = nullptr;
};

// The loader's explanation of the last failed LoadDll ("" when none failed).
const std::string& LastDllError();

// The address of export Name of Handle; a missing export: error 30 with Name (RaiseErrorLogged).
void* GetProc(const std::string& Name, TDllHandle Handle);
// The address of export Name of Handle; nullptr when missing.
void* FindProc(const std::string& Name, TDllHandle Handle);

// True when Path lies on a file system mounted noexec.
bool IsOnNoExecMount(const std::string& Path);

// Registers the library Path: calls its DllUnregisterServer and, when Register, then its
// DllRegisterServer (their results are not looked at). Nothing when Path does not exist or
// cannot be loaded. A missing export: error 30 with its name. An EMerovantError raised inside
// passes unchanged; any other exception becomes error 1 "RegisterOcx".
void RegisterOcx(const std::string& Path, bool Register);

}  // namespace Decantor
