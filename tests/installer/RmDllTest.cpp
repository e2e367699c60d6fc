#include "RmDll.h"

#include <dlfcn.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "RmErrors.h"
#include "TestSupport.h"

using namespace Decantor;
using DecantorTest::TScratchDir;
using DecantorTest::WriteFile;

namespace {

// Error code and Info of Call, or -1 when it raised nothing.
template <typename F>
std::pair<int32_t, std::string> ErrorOf(F aCall) {
  try {
    aCall();
  } catch (const EMerovantError& e) {
    return {e.ErrorCode(), e.Info()};
  }
  return {-1, ""};
}

// The calls RegistrationCalls of the library reports; the test's own handle keeps the library
// (and its record) loaded across RegisterOcx.
class TRegLib {
public:
  explicit TRegLib(const char* aPath) : FHandle(dlopen(aPath, RTLD_NOW)) {}
  ~TRegLib() {
    if (FHandle) dlclose(FHandle);
  }
  std::string Calls() const {
    auto calls = reinterpret_cast<const char* (*)()>(dlsym(FHandle, "RegistrationCalls"));
    return calls ? calls() : "?";
  }

private:
  void* FHandle;
};

}  // namespace

TEST(LoadDll, LoadsAndBindsExports) {
  TDllHandle handle = nullptr;
  LoadDll(REG_LIB, handle);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(GetProc("DllRegisterServer", handle), nullptr);
  EXPECT_EQ(FindProc("dunzip", handle), nullptr);
  EXPECT_EQ(ErrorOf([&] { GetProc("dunzip", handle); }), std::make_pair(30, std::string("dunzip")));
  try {
    GetProc("dunzip", handle);
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.Message(), "Function not found in DLL : dunzip");
  }
  FreeDll(handle);
  EXPECT_EQ(handle, nullptr);
}

TEST(LoadDll, MissingAndBrokenFiles) {
  TScratchDir dir;
  TDllHandle handle = reinterpret_cast<TDllHandle>(1);
  EXPECT_EQ(ErrorOf([&] { LoadDll(dir / "none.so", handle); }),
            std::make_pair(4, dir / "none.so"));
  WriteFile(dir / "text.so", "not a library");
  EXPECT_EQ(ErrorOf([&] { LoadDll(dir / "text.so", handle); }),
            std::make_pair(12, dir / "text.so"));
  EXPECT_EQ(handle, nullptr);
  EXPECT_FALSE(LastDllError().empty());
  // Without a directory part the loader searches its path; a miss is error 12, not 4.
  EXPECT_EQ(ErrorOf([&] { LoadDll("libdecantor-none.so", handle); }).first, 12);
}

TEST(RegisterOcx, UnregistersThenRegisters) {
  TRegLib lib(REG_LIB);
  RegisterOcx(REG_LIB, true);
  EXPECT_EQ(lib.Calls(), "UR");
  RegisterOcx(REG_LIB, false);
  EXPECT_EQ(lib.Calls(), "URU");
}

TEST(RegisterOcx, MissingOrUnloadableFileIsIgnored) {
  TScratchDir dir;
  RegisterOcx(dir / "none.so", true);
  WriteFile(dir / "text.so", "not a library");
  RegisterOcx(dir / "text.so", true);
}

TEST(RegisterOcx, MissingExportsAndForeignErrors) {
  EXPECT_EQ(ErrorOf([] { RegisterOcx(NOREG_LIB, true); }),
            std::make_pair(30, std::string("DllRegisterServer")));
  EXPECT_EQ(ErrorOf([] { RegisterOcx(REGONLY_LIB, true); }),
            std::make_pair(30, std::string("DllUnregisterServer")));
  EXPECT_EQ(ErrorOf([] { RegisterOcx(THROWS_LIB, true); }),
            std::make_pair(1, std::string("RegisterOcx")));
  TRegLib lib(REGONLY_LIB);
  EXPECT_EQ(lib.Calls(), "");
}

namespace {

// Runs in a child: mounts a noexec tmpfs at aMountPoint in a private mount namespace (so
// nothing outside sees it), loads a copy of a library from it and prints the error raised.
void LoadFromNoExecMount(const std::string& aMountPoint, const std::string& aLibrary) {
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", aMountPoint.c_str(), "tmpfs", MS_NOEXEC, nullptr) != 0) {
    std::fprintf(stderr, "no mount namespace");
    std::_Exit(0);
  }
  WriteFile(aMountPoint + "/lib.so", aLibrary);
  TDllHandle handle = nullptr;
  auto error = ErrorOf([&] { LoadDll(aMountPoint + "/lib.so", handle); });
  std::fprintf(stderr, "%d %s", error.first, error.second.c_str());
  std::_Exit(0);
}

}  // namespace

// Without the privilege to make a mount namespace the child reports so and the test passes.
TEST(LoadDll, NoExecMountIsNamedInTheError) {
  TScratchDir dir;
  std::string mountPoint = dir / "noexec";
  ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
  std::string library = DecantorTest::ReadFile(REG_LIB);
  EXPECT_EXIT(LoadFromNoExecMount(mountPoint, library), testing::ExitedWithCode(0),
              "no mount namespace|12 " + mountPoint + "/lib.so \\(file system mounted noexec\\)");
}
