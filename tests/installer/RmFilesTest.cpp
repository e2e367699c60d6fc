#include "RmFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "RmErrors.h"
#include "RmPaths.h"
#include "RmSettings.h"
#include "TestSupport.h"

using namespace Decantor;
using DecantorTest::ReadFile;
using DecantorTest::TScratchDir;
using DecantorTest::TScriptedUi;
using DecantorTest::WriteFile;

namespace {

std::string Pattern(std::size_t aSize) {
  std::string bytes(aSize, '\0');
  for (std::size_t i = 0; i < aSize; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

int32_t ErrorCodeOf(void (*aCall)(const std::string&, const std::string&), const std::string& a,
                    const std::string& b) {
  try {
    aCall(a, b);
  } catch (const EMerovantError& e) {
    return e.ErrorCode();
  }
  return -1;
}

}  // namespace

TEST(CopyFile, CopiesBytesInChunksWithProgressAndTime) {
  TScratchDir dir;
  std::string data = Pattern(25000);
  WriteFile(dir / "src.bin", data);
  struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "src.bin").c_str(), times, 0), 0);
  WriteFile(dir / "dst.bin", "old content that is replaced");

  TScriptedUi ui;
  std::vector<int32_t> percents;
  SetBytesCopied(0);
  SetBytesToCopy(25000);
  SetCopyProgress([&](int32_t p) { percents.push_back(p); });
  CopyFile(dir / "src.bin", dir / "dst.bin");
  SetCopyProgress(nullptr);
  SetBytesToCopy(0);

  EXPECT_EQ(ReadFile(dir / "dst.bin"), data);
  EXPECT_EQ(percents, (std::vector<int32_t>{40, 80, 100}));
  EXPECT_EQ(BytesCopied(), 25000);
  EXPECT_EQ(ui.Processed, 3);
  struct stat st{};
  ASSERT_EQ(stat((dir / "dst.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
}

TEST(CopyFile, IntoDirectoryKeepsName) {
  TScratchDir dir;
  WriteFile(dir / "%abc.dll", "lib");
  CopyFile(dir / "%abc.dll", dir / "new/sub/");
  EXPECT_EQ(ReadFile(dir / "new/sub/%abc.dll"), "lib");
  CopyFile(dir / "%abc.dll", dir / "new");
  EXPECT_EQ(ReadFile(dir / "new/%abc.dll"), "lib");
}

TEST(CopyFile, OntoItselfCopiesNothing) {
  TScratchDir dir;
  WriteFile(dir / "same.txt", "keep me");
  CopyFile(dir / "same.txt", dir / "same.txt");
  CopyFile(dir / "same.txt", dir / "./sub/../same.txt");
  ASSERT_EQ(symlink((dir / "same.txt").c_str(), (dir / "link.txt").c_str()), 0);
  CopyFile(dir / "same.txt", dir / "link.txt");
  EXPECT_EQ(ReadFile(dir / "same.txt"), "keep me");
  // Names differing in letter case are different files here.
  CopyFile(dir / "same.txt", dir / "SAME.txt");
  EXPECT_EQ(ReadFile(dir / "SAME.txt"), "keep me");
}

TEST(CopyFile, ReplacesPlantedLinkInsteadOfWritingThroughIt) {
  TScratchDir dir;
  WriteFile(dir / "src", "new");
  WriteFile(dir / "victim", "precious");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "dst").c_str()), 0);
  CopyFile(dir / "src", dir / "dst");
  EXPECT_EQ(ReadFile(dir / "victim"), "precious");
  struct stat st{};
  ASSERT_EQ(lstat((dir / "dst").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(dir / "dst"), "new");
}

TEST(CopyFile, Errors) {
  TScratchDir dir;
  WriteFile(dir / "src", "x");
  WriteFile(dir / "file", "x");
  EXPECT_EQ(ErrorCodeOf(CopyFile, dir / "missing", dir / "dst"), 4);
  EXPECT_EQ(ErrorCodeOf(CopyFile, dir / "src", dir / "file/dst"), 9);
  EXPECT_EQ(ErrorCodeOf(CopyFile, dir / "src", dir / "file/sub/"), 15);
  SetCopyProgress([](int32_t) {});
  try {
    CopyFile(dir / "src", dir / "dst");
    ADD_FAILURE() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.Message(), "Internal error : CopyFile : BytesToCopy=0");
  }
  SetCopyProgress(nullptr);
}

TEST(CopyFile, AbortStopsAfterFirstChunk) {
  TScratchDir dir;
  WriteFile(dir / "src", Pattern(30000));
  SetAbortCopy(true);
  CopyFile(dir / "src", dir / "dst");
  SetAbortCopy(false);
  EXPECT_EQ(ReadFile(dir / "dst").size(), kCopyChunk);
}

TEST(DeleteFileIfExists, FilesAndLinksButNotDirectories) {
  TScratchDir dir;
  WriteFile(dir / "f", "x");
  ASSERT_EQ(symlink("/nonexistent", (dir / "dangling").c_str()), 0);
  ASSERT_EQ(mkdir((dir / "d").c_str(), 0755), 0);
  DeleteFileIfExists(dir / "f");
  DeleteFileIfExists(dir / "dangling");
  DeleteFileIfExists(dir / "d");
  DeleteFileIfExists(dir / "never");
  struct stat st{};
  EXPECT_NE(lstat((dir / "f").c_str(), &st), 0);
  EXPECT_NE(lstat((dir / "dangling").c_str(), &st), 0);
  EXPECT_TRUE(DirExists(dir / "d"));
}
