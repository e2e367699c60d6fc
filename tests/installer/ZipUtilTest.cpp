// The installer's wrapper over the unzip component: the command record it
// writes for each operation, and the errors of loading and binding.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "RmErrors.h"
#include "TestSupport.h"
#include "ZipUtil.h"

using namespace Decantor;

namespace {

std::map<std::string, int> gEntryCalls;

int32_t CountCalls(const char* aName, int32_t, int32_t aData) {
  gEntryCalls[aName] += aData;
  return -1;
}

std::string Fixture(const std::string& aName) { return std::string(UNZIP_FIXTURES) + "/" + aName; }

// The error raised by aAction, as code and message.
template <typename F>
std::pair<int32_t, std::string> ErrorOf(F aAction) {
  try {
    aAction();
  } catch (const EMerovantError& e) {
    return {e.ErrorCode(), e.Message()};
  }
  return {-1, "no error"};
}

class ZipUtil : public ::testing::Test {
 protected:
  void TearDown() override { FreeUnzipDll(); }
};

}  // namespace

TEST_F(ZipUtil, InitAndResetWriteTheStartValues) {
  InitUnzip(DUNZIP_PATH, 5, CountCalls, 9);
  const TUnzipCommand& c = UnzipCommand();
  EXPECT_EQ(c.Size, int32_t(sizeof(TUnzipCommand)));
  EXPECT_EQ(c.Operation, 0);
  EXPECT_NE(c.Info, nullptr);
  EXPECT_EQ(c.ZipFile, nullptr);
  EXPECT_EQ(c.Overwrite, -1);
  EXPECT_EQ(c.TestOnly, 0);
  EXPECT_EQ(c.Reserved36, -1);
  EXPECT_EQ(c.Reserved40, -1);
  EXPECT_EQ(c.Reserved44, 0);
  EXPECT_EQ(c.Reserved52, -1);
  EXPECT_EQ(c.Reserved56, -1);
  EXPECT_EQ(c.Callback, &CountCalls);
  EXPECT_EQ(c.CallbackData, 9);
  EXPECT_EQ(c.ParentWindow, 5);
  EXPECT_EQ(c.Reserved72, 9);
  EXPECT_EQ(c.EntryCount, 0);
}

TEST_F(ZipUtil, CountsAndExtractsThroughTheLoadedComponent) {
  InitUnzip(DUNZIP_PATH, 0, CountCalls, 1);
  EXPECT_EQ(CountZipEntries(Fixture("infozip.zip")), 15);
  EXPECT_EQ(UnzipCommand().Operation, uoCount);
  EXPECT_EQ(UnzipCommand().ZipFile, nullptr) << "address of a string that has gone";
  EXPECT_EQ(CountZipEntries(Fixture("truncated_tail1.zip")), -1);
  EXPECT_EQ(CountZipEntries(Fixture("empty.zip")), 0);

  DecantorTest::TScratchDir scratch;
  gEntryCalls.clear();
  ASSERT_TRUE(UnzipFiles(Fixture("infozip.zip"), "*.*", scratch / "dest", false))
      << UnzipMessage();
  EXPECT_EQ(UnzipCommand().Operation, uoExtract);
  EXPECT_EQ(UnzipCommand().Overwrite, -1);
  EXPECT_EQ(UnzipCommand().TestOnly, 0);
  EXPECT_EQ(gEntryCalls.size(), 15u);
  EXPECT_EQ(DecantorTest::ReadFile(scratch / "dest/Doc/name with spaces.txt"),
            "spaces in the name\n");

  // The option only checks: nothing is written.
  EXPECT_TRUE(UnzipFiles(Fixture("python.zip"), "*.*", scratch / "checked", true));
  EXPECT_EQ(UnzipCommand().TestOnly, -1);
  EXPECT_FALSE(std::filesystem::exists(scratch / "checked"));

  EXPECT_FALSE(UnzipFiles(Fixture("slip_dotdot.zip"), "*.*", scratch / "slip", false));
  EXPECT_NE(UnzipMessage().find("../evil.txt"), std::string::npos);
}

TEST_F(ZipUtil, LoadingAndBindingFailuresRaiseTheirErrors) {
  DecantorTest::TScratchDir scratch;
  const std::string missing = scratch / "missing.so";
  EXPECT_EQ(ErrorOf([&] { InitUnzip(missing, 0, nullptr, 0); }),
            std::make_pair(4, "File not found : " + missing));

  const std::string text = scratch / "text.so";
  DecantorTest::WriteFile(text, "not a library");
  const auto [code, message] = ErrorOf([&] { InitUnzip(text, 0, nullptr, 0); });
  EXPECT_EQ(code, 12);
  EXPECT_EQ(message.rfind("Can't load : " + text, 0), 0u) << message;

  EXPECT_EQ(ErrorOf([&] { InitUnzip(NO_DUNZIP_LIB, 0, nullptr, 0); }),
            std::make_pair(30, std::string("Function not found in DLL : dunzip")));
  // The library stays loaded until FreeUnzipDll; operations without a bound
  // component report failure.
  EXPECT_EQ(CountZipEntries(Fixture("infozip.zip")), -1);
  FreeUnzipDll();
  FreeUnzipDll();
}
