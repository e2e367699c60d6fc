// The unzip component on archives written by other tools: counting, extracting
// with sub-directories, permissions and links, progress reports and options.
#include <sys/stat.h>

#include <set>

#include "UnzipTestSupport.h"

using namespace UnzipTest;

namespace {

constexpr int kTreeEntries = 15;  // files, directories and the link of the fixture tree

class UnzipWellFormed : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST(UnzipComponent, NeedsNothingButTheCLibrary) {
#ifdef DUNZIP_SANITIZED
  GTEST_SKIP() << "sanitizer builds link their run-time libraries into the component";
#else
  const std::string command = "readelf -d " DUNZIP_PATH " | grep NEEDED";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string needed;
  char line[512];
  while (fgets(line, sizeof line, pipe) != nullptr) needed += line;
  pclose(pipe);
  EXPECT_NE(needed.find("[libc.so.6]"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("libz"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("libminizip"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("libstdc++"), std::string::npos) << needed;
  EXPECT_EQ(needed.find("libgcc_s"), std::string::npos) << needed;
#endif
}

TEST_P(UnzipWellFormed, CountsEveryEntry) {
  const TResult result = Count(Fixture(GetParam()));
  EXPECT_EQ(result.Code, urOk) << result.Message;
  EXPECT_EQ(result.Count, kTreeEntries);
}

TEST_P(UnzipWellFormed, ExtractsTheWholeTreeIntoANewDestination) {
  TScratch scratch;
  const fs::path dest = scratch.Dest() / "new" / "nested";
  const TResult result = Extract(Fixture(GetParam()), dest.string());
  ASSERT_EQ(result.Code, urOk) << result.Message;
  EXPECT_EQ(Snapshot(dest), Snapshot(kFixtures + "/tree"));
  EXPECT_TRUE(Snapshot(scratch.Outside()).empty());

  struct stat st {};
  ASSERT_EQ(stat((dest / "bin/tool.sh").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR) << "executable bit lost";
  ASSERT_EQ(stat((dest / "Read me.txt").c_str(), &st), 0);
  EXPECT_GT(st.st_mtime, 1600000000) << "modification time not restored";

  // Every entry reports progress under its stored name, ending at 100, and the
  // percentages of one entry never go back.
  std::set<std::string> names;
  std::map<std::string, int32_t> last;
  for (const TCall& call : gCalls) {
    EXPECT_EQ(call.UserData, 77);
    EXPECT_GE(call.Percent, last.count(call.Name) ? last[call.Name] : 0) << call.Name;
    last[call.Name] = call.Percent;
    names.insert(call.Name);
  }
  EXPECT_EQ(int(names.size()), kTreeEntries);
  for (const auto& [name, percent] : last) EXPECT_EQ(percent, 100) << name;
  EXPECT_TRUE(names.count("Doc/name with spaces.txt"));
  // A file of 48,890 bytes reports intermediate steps.
  int notesCalls = 0;
  for (const TCall& call : gCalls) notesCalls += call.Name == "Doc/deep/er/notes.txt";
  EXPECT_GE(notesCalls, 2);
}

INSTANTIATE_TEST_SUITE_P(Writers, UnzipWellFormed,
                         ::testing::Values("infozip.zip", "infozip64.zip", "python.zip",
                                           "python64.zip", "pystream.zip"),
                         [](const auto& aInfo) {
                           std::string name = aInfo.param;
                           return name.substr(0, name.find('.'));
                         });

TEST(UnzipComponent, EmptyArchiveCountsZeroAndExtractsNothing) {
  TScratch scratch;
  EXPECT_EQ(Count(Fixture("empty.zip")).Count, 0);
  const TResult result = Extract(Fixture("empty.zip"), scratch.Dest().string());
  EXPECT_EQ(result.Code, urOk) << result.Message;
  EXPECT_TRUE(fs::is_directory(scratch.Dest()));
  EXPECT_TRUE(gCalls.empty());
}

TEST(UnzipComponent, ReplacesExistingFilesOrKeepsThemOnRequest) {
  TScratch scratch;
  const std::string zip = Fixture("infozip.zip");
  ASSERT_EQ(Extract(zip, scratch.Dest().string()).Code, urOk);
  const fs::path readMe = scratch.Dest() / "Read me.txt";
  std::ofstream(readMe) << "changed";
  // A link standing where a file goes is replaced, not followed.
  fs::remove(scratch.Dest() / "empty.txt");
  fs::create_symlink(scratch.Outside() / "victim", scratch.Dest() / "empty.txt");

  ASSERT_EQ(Extract(zip, scratch.Dest().string(), "*.*", 0).Code, urOk);
  EXPECT_EQ(Snapshot(scratch.Dest())["Read me.txt"], "file:changed");

  ASSERT_EQ(Extract(zip, scratch.Dest().string()).Code, urOk);
  EXPECT_EQ(Snapshot(scratch.Dest()), Snapshot(kFixtures + "/tree"));
  EXPECT_TRUE(Snapshot(scratch.Outside()).empty());
}

TEST(UnzipComponent, FileMaskSelectsEntries) {
  TScratch scratch;
  ASSERT_EQ(Extract(Fixture("python.zip"), scratch.Dest().string(), "*.txt").Code, urOk);
  std::set<std::string> files;
  for (const auto& [path, kind] : Snapshot(scratch.Dest()))
    if (kind != "dir") files.insert(path);
  EXPECT_EQ(files, (std::set<std::string>{"Read me.txt", "empty.txt", "Doc/name with spaces.txt",
                                          "Doc/deep/er/notes.txt"}));
}

TEST(UnzipComponent, TestOnlyChecksEverythingAndWritesNothing) {
  TScratch scratch;
  EXPECT_EQ(Extract(Fixture("infozip.zip"), scratch.Dest().string(), "*.*", -1, -1).Code, urOk);
  EXPECT_EQ(int(gCalls.size()) >= kTreeEntries, true);
  EXPECT_FALSE(fs::exists(scratch.Dest()));
  EXPECT_EQ(Extract(Fixture("corrupt_crc_stored.zip"), "", "*.*", -1, -1).Code, urDataError);
}

TEST(UnzipComponent, CallbackReturningZeroCancelsAndTakesBackTheRun) {
  TScratch scratch;
  gCancelAtCall = 0;
  ASSERT_EQ(Extract(Fixture("infozip.zip"), scratch.Dest().string()).Code, urOk);
  // Cancel in the middle of the largest file, which is read in two chunks.
  const std::string victim = "bin/random.bin";
  int call = 0;
  bool found = false;
  for (const TCall& c : gCalls) {
    ++call;
    found = c.Name == victim && c.Percent > 0 && c.Percent < 100;
    if (found) break;
  }
  ASSERT_TRUE(found);
  fs::remove_all(scratch.Dest());
  gCancelAtCall = call;
  const TResult result = Extract(Fixture("infozip.zip"), scratch.Dest().string());
  gCancelAtCall = -1;
  EXPECT_EQ(result.Code, urCancelled);
  EXPECT_EQ(int(gCalls.size()), call);
  // Neither the file being written nor the ones before it, nor the
  // destination the run created, stay behind.
  EXPECT_FALSE(fs::exists(scratch.Dest()));
}

TEST(UnzipComponent, RefusesMalformedCommands) {
  TUnzipInfo info{};
  EXPECT_EQ(Dunzip()(nullptr), urBadCommand);
  const std::string zip = Fixture("infozip.zip");
  TUnzipCommand command = NewCommand(uoCount, zip, info);
  command.Size = 142;  // the record of another layout
  EXPECT_EQ(Dunzip()(&command), urBadCommand);
  command = NewCommand(3, zip, info);
  EXPECT_EQ(Dunzip()(&command), urBadCommand);
  command = NewCommand(uoExtract, zip, info);
  EXPECT_EQ(Dunzip()(&command), urBadCommand);  // no destination
  command.ZipFile = nullptr;
  EXPECT_EQ(Dunzip()(&command), urBadCommand);
  const std::string missing = kFixtures + "/no-such.zip";
  command = NewCommand(uoCount, missing, info);
  EXPECT_EQ(Dunzip()(&command), urOpenFailed);
  EXPECT_NE(std::string(info.Message).find("no-such.zip"), std::string::npos);
  const std::string directory = kFixtures + "/tree";
  command = NewCommand(uoCount, directory, info);
  EXPECT_EQ(Dunzip()(&command), urOpenFailed);
}

// An archive of many files is written by more than one worker (on a machine
// with more than one core); the result is the same tree, reported one file
// at a time, and a failure or a cancel still takes everything back.
// Each worker count splits the files into parts of its own (three and four
// parts of unequal length, whose workers then take from each other's ends);
// every count writes the same tree and reports each file once.
TEST(UnzipSideBySide, WritesTheSameTreeAndReportsEachFileOnce) {
  for (const char* workers : {"", "1", "3", "4"}) {
    SCOPED_TRACE(std::string("workers: ") + workers);
    if (*workers != '\0') setenv("DECANTOR_UNZIP_WORKERS", workers, 1);
    TScratch scratch;
    const TResult result = Extract(Fixture("many.zip"), scratch.Dest().string());
    unsetenv("DECANTOR_UNZIP_WORKERS");
    ASSERT_EQ(result.Code, urOk) << result.Message;
    EXPECT_EQ(Snapshot(scratch.Dest()), Snapshot(Fixture("many")));
    std::map<std::string, int> reported;
    for (const TCall& call : gCalls)
      if (call.Percent == 100) ++reported[call.Name];
    for (const auto& [name, content] : Snapshot(Fixture("many"))) {
      if (content.rfind("file:", 0) == 0) {
        EXPECT_EQ(reported[name], 1) << name;
      }
    }
  }
}

TEST(UnzipSideBySide, ADamagedFileOrACancelTakesEverythingBack) {
  TScratch damaged;
  const TResult result = Extract(Fixture("many_damaged.zip"), damaged.Dest().string());
  EXPECT_EQ(result.Code, urDataError) << result.Message;
  EXPECT_NE(result.Message.find("file119.dat"), std::string::npos) << result.Message;
  EXPECT_FALSE(fs::exists(damaged.Dest()));

  TScratch cancelled;
  gCancelAtCall = 40;
  const TResult stopped = Extract(Fixture("many.zip"), cancelled.Dest().string());
  gCancelAtCall = -1;
  EXPECT_EQ(stopped.Code, urCancelled) << stopped.Message;
  EXPECT_EQ(int(gCalls.size()), 40);  // nothing reported after the cancel
  EXPECT_FALSE(fs::exists(cancelled.Dest()));
}
