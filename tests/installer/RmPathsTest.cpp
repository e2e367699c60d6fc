#include "RmPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "RmErrors.h"
#include "RmSettings.h"
#include "TestSupport.h"

using namespace Decantor;
using DecantorTest::TScratchDir;
using DecantorTest::WriteFile;

TEST(Backslash, AddAndDelete) {
  EXPECT_EQ(AddBackslash("/opt"), "/opt/");
  EXPECT_EQ(AddBackslash("/opt/"), "/opt/");
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(DelBackslash("/opt/x/"), "/opt/x");
  EXPECT_EQ(DelBackslash("/opt/x//"), "/opt/x/");
  EXPECT_EQ(DelBackslash("/"), "");
  EXPECT_EQ(AddLeadingBackslash("Doc"), "/Doc");
  EXPECT_EQ(AddLeadingBackslash("/Doc"), "/Doc");
  EXPECT_EQ(AddLeadingBackslash(""), "");
}

TEST(Backslash, DelLeadingRemovesOneButLeavesNetworkPaths) {
  EXPECT_EQ(DelLeadingBackslash("/Merovant/Vellix Builder for Delphi"),
            "Merovant/Vellix Builder for Delphi");
  EXPECT_EQ(DelLeadingBackslash("//server/share"), "//server/share");
  EXPECT_EQ(DelLeadingBackslash("Merovant"), "Merovant");
  EXPECT_EQ(DelLeadingBackslash("/"), "");
  EXPECT_EQ(DelLeadingBackslash(""), "");
}

TEST(ParentDir, StopsAboveTopLevel) {
  EXPECT_EQ(ParentDir("/a/b"), "/a");
  EXPECT_EQ(ParentDir("/a/b/"), "/a");
  EXPECT_EQ(ParentDir("/opt/Merovant/Vellix"), "/opt/Merovant");
  EXPECT_EQ(ParentDir("/opt"), "");
  EXPECT_EQ(ParentDir("/a"), "");
  EXPECT_EQ(ParentDir("/"), "");
  EXPECT_EQ(ParentDir(""), "");
}

TEST(ForceDirectory, CreatesMissingParents) {
  TScratchDir dir;
  std::string deep = dir / "a/b/c/";
  ForceDirectory(deep);
  EXPECT_TRUE(DirExists(dir / "a/b/c"));
  ForceDirectory(deep);  // existing: nothing happens
  ForceDirectory("/");
}

TEST(ForceDirectory, FileInTheWayRaises15) {
  TScratchDir dir;
  WriteFile(dir / "file", "x");
  try {
    ForceDirectory(dir / "file/sub");
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 15);
    // The first directory that cannot be made is the one named.
    EXPECT_EQ(e.Info(), dir / "file");
    EXPECT_EQ(e.Message(), "Can't create directory : " + (dir / "file"));
  }
}

TEST(DirExists, OnlyForDirectories) {
  TScratchDir dir;
  WriteFile(dir / "f", "");
  EXPECT_TRUE(DirExists(dir.Path()));
  EXPECT_FALSE(DirExists(dir / "f"));
  EXPECT_FALSE(DirExists(dir / "missing"));
  EXPECT_FALSE(DirExists(""));
}

TEST(ReplaceAll, NeverSearchesReplacedText) {
  EXPECT_EQ(ReplaceAll("$", "/opt/$x", "$/Doc/$"), "/opt/$x/Doc//opt/$x");
  EXPECT_EQ(ReplaceAll("ab", "abab", "abcab"), "ababcabab");
  EXPECT_EQ(ReplaceAll("$", "/d", "Notepad.exe $/Doc/Read me.txt"),
            "Notepad.exe /d/Doc/Read me.txt");
  EXPECT_EQ(ReplaceAll("$", "/d", "none"), "none");
  EXPECT_EQ(ReplaceAll("", "/d", "text"), "text");
}

TEST(OwnPath, IsTheRunningProgram) {
  EXPECT_EQ(ExtractFileName(OwnPath()), "decantor_core_tests");
  EXPECT_EQ(OwnPath()[0], '/');
}

TEST(SystemDirs, FixedPlaces) {
  EXPECT_EQ(WindowsDir(), "/usr/local");
  EXPECT_EQ(SystemDir(), "/usr/local/lib");
  std::string temp = TempDir();
  EXPECT_EQ(temp.back(), '/');
  EXPECT_TRUE(DirExists(temp));
}

TEST(MakeTempFileName, TwiceInOneTickGivesTwoNames) {
  TScratchDir dir;
  std::string first = MakeTempFileName(dir.Path(), ".dll");
  WriteFile(first, "");
  std::string second = MakeTempFileName(dir.Path() + "/", ".dll");
  EXPECT_NE(first, second);
  for (const std::string& name : {first, second}) {
    std::string file = ExtractFileName(name);
    ASSERT_EQ(ExtractFilePath(name), dir.Path() + "/");
    ASSERT_EQ(file.substr(0, 2), "__");
    ASSERT_EQ(file.substr(file.size() - 4), ".dll");
    std::string digits = file.substr(2, file.size() - 6);
    EXPECT_GE(digits.size(), 10u);
    EXPECT_LE(digits.size(), 15u);
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << digits;
    // Days since 30 December 1899: five digits before the removed point for years 1973-2173.
    EXPECT_EQ(digits.substr(0, 1), "4");
  }
}

TEST(MakeTempFileName, PlantedLinkCountsAsTaken) {
  TScratchDir dir;
  std::string name = MakeTempFileName(dir.Path(), ".zip");
  ASSERT_EQ(symlink("/nonexistent/target", name.c_str()), 0);
  EXPECT_NE(MakeTempFileName(dir.Path(), ".zip"), name);
}

TEST(CreateTempFile, ExclusiveAndOwnerOnly) {
  TScratchDir dir;
  int fd = -1;
  std::string name = CreateTempFile(dir.Path(), ".dll", fd);
  ASSERT_GE(fd, 0);
  close(fd);
  struct stat st{};
  ASSERT_EQ(lstat(name.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  try {
    CreateTempFile(dir / "missing", ".dll", fd);
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
  }
}

TEST(FindFiles, TopLevelPercentFilesOnly) {
  TScratchDir dir;
  WriteFile(dir / "%abc.dll", "1");
  WriteFile(dir / "%noext", "2");
  WriteFile(dir / "plain.txt", "3");
  WriteFile(dir / ".%hidden", "4");
  ASSERT_EQ(mkdir((dir / "%dir").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  WriteFile(dir / "sub/%deep.dll", "5");
  ASSERT_EQ(symlink(dir.Path().c_str(), (dir / "sub/loop").c_str()), 0);
  std::vector<std::string> list;
  FindFiles(dir.Path(), "%*.*", "", list, false);
  EXPECT_EQ(list, (std::vector<std::string>{dir / "%abc.dll", dir / "%noext"}));

  list.clear();
  FindFiles(dir.Path() + "/", "%*.*", "", list, true);
  EXPECT_EQ(list, (std::vector<std::string>{dir / "%abc.dll", dir / "%noext", dir / "sub/%deep.dll"}));

  list.clear();
  FindFiles(dir / "missing", "*.*", "", list, true);
  EXPECT_TRUE(list.empty());
}

TEST(MatchesMask, WildcardsAsOnTheCommandLineOfOld) {
  EXPECT_TRUE(MatchesMask("a.txt", "*.*"));
  EXPECT_TRUE(MatchesMask("README", "*.*"));
  EXPECT_TRUE(MatchesMask("%x", "%*.*"));
  EXPECT_FALSE(MatchesMask("x%", "%*.*"));
  EXPECT_TRUE(MatchesMask("ab.c", "a?.c"));
  EXPECT_FALSE(MatchesMask("A.TXT", "*.txt"));
}

TEST(EncodePath, RelativeToBaseOrMacros) {
  TScratchDir dir;
  WriteFile(dir / "f.txt", "");
  EXPECT_EQ(EncodePath(dir / "f.txt", "", false), dir / "f.txt");
  EXPECT_EQ(EncodePath(dir / "f.txt", dir.Path(), false), "f.txt");
  EXPECT_EQ(EncodePath(dir / "gone.txt", dir.Path(), false), "/gone.txt");
  EXPECT_EQ(EncodePath("/usr/local/lib/abc.so", "/home", true), "[SystemDir]abc.so");
  EXPECT_EQ(EncodePath("/usr/local/x.cfg", "/home", true), "[WindowsDir]x.cfg");
  EXPECT_EQ(EncodePath("/etc/x.cfg", "/home", true), "[/etc/]x.cfg");
  try {
    EncodePath("relative/%a.dll", "", false);
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.Message(), "Error 25 : relative/%a.dll");
  }
  try {
    EncodePath("/etc/x", "/home", false);
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 14);
  }
}

TEST(ExpandFileName, ResolvesDotsByName) {
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
  EXPECT_EQ(ExpandFileName("/.."), "/");
  char* cwd = getcwd(nullptr, 0);
  EXPECT_EQ(ExpandFileName("x"), AddBackslash(cwd) + "x");
  free(cwd);
}
