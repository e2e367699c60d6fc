// The unzip component on hostile and damaged archives: nothing is ever written
// outside the destination, unsafe archives are refused before anything is
// written, and damage is reported as failure with no damaged file left behind.
#include <random>

#include "UnzipTestSupport.h"

using namespace UnzipTest;

namespace {

struct THostile {
  const char* Archive;
  int32_t Expected;
};

void PrintTo(const THostile& aCase, std::ostream* aOut) { *aOut << aCase.Archive; }

class UnzipUnsafe : public ::testing::TestWithParam<THostile> {};

}  // namespace

TEST_P(UnzipUnsafe, IsRefusedBeforeAnythingIsWritten) {
  TScratch scratch;
  const TResult result = Extract(Fixture(GetParam().Archive), scratch.Dest().string());
  EXPECT_EQ(result.Code, GetParam().Expected) << result.Message;
  EXPECT_FALSE(fs::exists(scratch.Dest())) << "written before the archive was checked";
  EXPECT_TRUE(Snapshot(scratch.Outside()).empty());
  EXPECT_TRUE(Snapshot(kFixtures + "/outside").empty());
  EXPECT_FALSE(fs::exists(scratch.Root() / "evil.txt"));
  EXPECT_FALSE(result.Message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Archives, UnzipUnsafe,
    ::testing::Values(THostile{"slip_dotdot.zip", urUnsafeName},
                      THostile{"slip_nested.zip", urUnsafeName},
                      THostile{"slip_backslash.zip", urUnsafeName},
                      THostile{"slip_absolute.zip", urUnsafeName},
                      THostile{"link_out.zip", urUnsafeLink},
                      THostile{"link_absolute.zip", urUnsafeLink},
                      THostile{"link_updown.zip", urUnsafeLink},
                      THostile{"encrypted.zip", urUnsupported},
                      THostile{"eocd_count.zip", urCorrupt},
                      THostile{"eocd_offset.zip", urOpenFailed},
                      THostile{"comment_cut.zip", urOpenFailed},
                      THostile{"truncated_half.zip", urOpenFailed},
                      THostile{"truncated_tail1.zip", urOpenFailed},
                      THostile{"truncated_no_end.zip", urOpenFailed},
                      THostile{"truncated_head.zip", urOpenFailed},
                      THostile{"not_a_zip.zip", urOpenFailed},
                      THostile{"percent_dotdot.zip", urUnsafeName},
                      THostile{"percent_bare.zip", urUnsafeName},
                      THostile{"percent_dot.zip", urUnsafeName},
                      THostile{"percent_folder.zip", urUnsafeName},
                      THostile{"control_escape.zip", urUnsafeName},
                      THostile{"control_newline.zip", urUnsafeName}),
    [](const auto& aInfo) {
      std::string name = aInfo.param.Archive;
      return name.substr(0, name.find('.'));
    });

// A refused name with control characters is not repeated in the message.
TEST(UnzipUnsafeNames, ControlCharactersAreNotEchoed) {
  for (const char* archive : {"control_escape.zip", "control_newline.zip"}) {
    TScratch scratch;
    const TResult result = Extract(Fixture(archive), scratch.Dest().string());
    EXPECT_EQ(result.Code, urUnsafeName) << archive;
    EXPECT_EQ(result.Message.find_first_of("\x1b\n"), std::string::npos) << result.Message;
    EXPECT_NE(result.Message.find("entry 2"), std::string::npos) << result.Message;
  }
}

TEST(UnzipDamaged, CountFailsOnBrokenDirectories) {
  for (const char* archive : {"eocd_count.zip", "eocd_offset.zip", "truncated_tail1.zip",
                              "not_a_zip.zip"})
    EXPECT_NE(Count(Fixture(archive)).Code, urOk) << archive;
}

TEST(UnzipDamaged, DataErrorsFailAndTakeBackWhatTheRunWrote) {
  for (const char* archive : {"corrupt_crc_stored.zip", "corrupt_deflate.zip", "short_data.zip"}) {
    TScratch scratch;
    const TResult result = Extract(Fixture(archive), scratch.Dest().string());
    EXPECT_EQ(result.Code, urDataError) << archive << ": " << result.Message;
    // The intact entry before the damaged one is removed again, and so is
    // the destination the run created: no half install.
    EXPECT_FALSE(fs::exists(scratch.Dest())) << archive;
  }
}

TEST(UnzipDamaged, DataClaimedPastTheEndIsRefusedBeforeAnythingIsWritten) {
  TScratch scratch;
  const TResult result = Extract(Fixture("past_the_end.zip"), scratch.Dest().string());
  EXPECT_EQ(result.Code, urCorrupt) << result.Message;
  EXPECT_EQ(result.Message, "data of victim.txt would end past the end of the archive");
  EXPECT_FALSE(fs::exists(scratch.Dest()));  // not even the intact entry before it
}

TEST(UnzipDamaged, ARollBackKeepsWhatWasThereBefore) {
  TScratch scratch;
  fs::create_directories(scratch.Dest() / "older");
  std::ofstream(scratch.Dest() / "older/notes.txt") << "mine";
  std::ofstream(scratch.Dest() / "first.txt") << "overwritten by the run";
  const auto before = Snapshot(scratch.Dest());
  EXPECT_EQ(Extract(Fixture("corrupt_deflate.zip"), scratch.Dest().string()).Code, urDataError);
  auto after = Snapshot(scratch.Dest());
  // A file that stood there before keeps its place (its old bytes cannot
  // come back once replaced); everything else is as it was.
  ASSERT_EQ(after.count("first.txt"), 1u);
  after["first.txt"] = before.at("first.txt");
  EXPECT_EQ(after, before);

  // A tree of new directories goes, up to the first that holds older files.
  TScratch tree;
  fs::create_directories(tree.Dest() / "bin");
  std::ofstream(tree.Dest() / "bin/older") << "kept";
  gCalls.clear();
  gCancelAtCall = 6;
  EXPECT_EQ(Extract(Fixture("infozip.zip"), tree.Dest().string()).Code, urCancelled);
  gCancelAtCall = -1;
  EXPECT_EQ(Snapshot(tree.Dest()), (std::map<std::string, std::string>{{"bin", "dir"}, {"bin/older", "file:kept"}}));
}

TEST(UnzipLinks, LinksInsideTheDestinationAreCreated) {
  TScratch scratch;
  const TResult result = Extract(Fixture("link_inside.zip"), scratch.Dest().string());
  ASSERT_EQ(result.Code, urOk) << result.Message;
  auto files = Snapshot(scratch.Dest());
  EXPECT_EQ(files.at("lib/libx.so"), "link:libx.so.1");
  EXPECT_EQ(files.at("lib/up"), "link:../include/x.h");
  EXPECT_EQ(files.at("include/x.h"), "file:header");
}

TEST(UnzipLinks, NothingIsWrittenThroughALink) {
  // The archive's own link: its later entry "link/evil.txt" must not land in "sub".
  TScratch scratch;
  EXPECT_EQ(Extract(Fixture("link_through.zip"), scratch.Dest().string()).Code, urWriteFailed);
  EXPECT_FALSE(fs::exists(scratch.Dest() / "sub/evil.txt"));

  // A link already in the destination pointing outside: "Doc/..." must not follow it.
  TScratch second;
  fs::create_directories(second.Dest());
  fs::create_directory_symlink(second.Outside(), second.Dest() / "Doc");
  EXPECT_EQ(Extract(Fixture("infozip.zip"), second.Dest().string()).Code, urWriteFailed);
  EXPECT_TRUE(Snapshot(second.Outside()).empty());
}

TEST(UnzipFuzz, MutatedArchivesNeverCrashOrEscape) {
  // Random byte changes to a valid archive: any result is acceptable except a
  // crash, a sanitizer report, or a file outside the destination.
  std::ifstream in(Fixture("python.zip"), std::ios::binary);
  const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::mt19937 random(20261208);
  TScratch scratch;
  const std::string zip = (scratch.Root() / "fuzz.zip").string();
  int succeeded = 0;
  for (int round = 0; round < 150; ++round) {
    std::string bytes = original;
    const int changes = 1 + int(random() % 8);
    for (int i = 0; i < changes; ++i) {
      // Aim half the changes at the headers near the end, where the directory lives.
      const size_t pos = (random() % 2 != 0) ? random() % bytes.size()
                                              : bytes.size() - 1 - random() % 1200;
      bytes[pos] = char(random());
    }
    std::ofstream(zip, std::ios::binary | std::ios::trunc) << bytes;
    const fs::path dest = scratch.Dest() / std::to_string(round);
    succeeded += Extract(zip, dest.string()).Code == urOk;
    EXPECT_TRUE(Snapshot(scratch.Outside()).empty()) << "round " << round;
    fs::remove_all(dest);
  }
  EXPECT_LT(succeeded, 150);
}
