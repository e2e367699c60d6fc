// The command record's layout and the pure name rules of the unzip component.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "unzip/EntryPath.h"
#include "unzip/UnzipCommand.h"

using namespace Decantor::Unzip;

TEST(UnzipCommandLayout, FieldsKeepTheirOrderWithPointerSizedAddresses) {
  // The record's field order is fixed; each address widens to 8 bytes and is
  // naturally aligned, with one explicit padding field before DestDir.
  EXPECT_EQ(offsetof(TUnzipCommand, Size), 0u);
  EXPECT_EQ(offsetof(TUnzipCommand, Operation), 4u);
  EXPECT_EQ(offsetof(TUnzipCommand, ZipFile), 8u);
  EXPECT_EQ(offsetof(TUnzipCommand, Info), 16u);
  EXPECT_EQ(offsetof(TUnzipCommand, FileSpec), 24u);
  EXPECT_EQ(offsetof(TUnzipCommand, Overwrite), 32u);
  EXPECT_EQ(offsetof(TUnzipCommand, Padding), 36u);
  EXPECT_EQ(offsetof(TUnzipCommand, DestDir), 40u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved28), 48u);
  EXPECT_EQ(offsetof(TUnzipCommand, TestOnly), 52u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved36), 56u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved56), 76u);
  EXPECT_EQ(offsetof(TUnzipCommand, Callback), 80u);
  EXPECT_EQ(offsetof(TUnzipCommand, CallbackData), 88u);
  EXPECT_EQ(offsetof(TUnzipCommand, ParentWindow), 92u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved72), 96u);
  EXPECT_EQ(offsetof(TUnzipCommand, EntryCount), 100u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved84), 108u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved88), 112u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved108), 132u);
  EXPECT_EQ(offsetof(TUnzipCommand, Reserved110), 134u);
  EXPECT_EQ(sizeof(TUnzipCommand), 168u);
  EXPECT_EQ(sizeof(TUnzipInfo), 310u);
}

namespace {

// The normalised form, "DIR:" + form for directories, or "REFUSED".
std::string Normalize(const std::string& aName) {
  char out[64];
  bool isDirectory = false;
  if (!NormalizeEntryName(aName.data(), aName.size(), out, sizeof out, isDirectory))
    return "REFUSED";
  return (isDirectory ? "DIR:" : "") + std::string(out);
}

bool SafeLink(const char* aLink, const std::string& aTarget) {
  return IsSafeLinkTarget(aLink, aTarget.data(), aTarget.size());
}

}  // namespace

TEST(UnzipEntryName, OrdinaryNamesAreKeptWithSeparatorsTidied) {
  EXPECT_EQ(Normalize("Doc/Read me.txt"), "Doc/Read me.txt");
  EXPECT_EQ(Normalize("Doc\\Read me.txt"), "Doc/Read me.txt");
  EXPECT_EQ(Normalize("./a//b/./c"), "a/b/c");
  EXPECT_EQ(Normalize("Doc/"), "DIR:Doc");
  EXPECT_EQ(Normalize("./"), "DIR:");
  EXPECT_EQ(Normalize("a..b/..c/d.."), "a..b/..c/d..");
  EXPECT_EQ(Normalize("%abc.so"), "%abc.so");
}

TEST(UnzipEntryName, NamesLeavingTheDestinationAreRefused) {
  for (const std::string name : {"../evil", "a/../../evil", "a/b/..", "..", "/etc/passwd",
                                 "\\evil", "..\\evil", "a\\..\\..\\evil", "", ".", "a/./"}) {
    if (name == "a/./") {
      EXPECT_EQ(Normalize(name), "DIR:a");
      continue;
    }
    EXPECT_EQ(Normalize(name), "REFUSED") << name;
  }
  EXPECT_EQ(Normalize(std::string("ok\0../evil", 10)), "REFUSED");
  EXPECT_EQ(Normalize(std::string(80, 'x')), "REFUSED");  // longer than the output
}

TEST(UnzipLinkTarget, OnlyTargetsThatStayBelowTheDestinationPass) {
  EXPECT_TRUE(SafeLink("libx.so", "libx.so.1"));
  EXPECT_TRUE(SafeLink("lib/libx.so", "../include/x.h"));
  EXPECT_TRUE(SafeLink("a/b/link", "../../c"));
  EXPECT_TRUE(SafeLink("link", "."));
  EXPECT_TRUE(SafeLink("link", "./sub//file"));
  EXPECT_FALSE(SafeLink("link", ".."));
  EXPECT_FALSE(SafeLink("a/b/link", "../../../c"));
  EXPECT_FALSE(SafeLink("link", "/etc"));
  EXPECT_FALSE(SafeLink("link", ""));
  // "x" may itself be a link to ".", so "x/.." may be the destination's parent.
  EXPECT_FALSE(SafeLink("z", "x/.."));
  EXPECT_FALSE(SafeLink("a/z", "../x/../y"));
  EXPECT_FALSE(SafeLink("link", std::string("ok\0/..", 6)));
}

TEST(UnzipFileSpec, WildcardsMatchWholeNamesOrLastComponents) {
  for (const char* all : {static_cast<const char*>(nullptr), "", "*", "*.*"}) {
    EXPECT_TRUE(MatchesFileSpec(all, "README"));
    EXPECT_TRUE(MatchesFileSpec(all, "Doc/sub/x"));
  }
  EXPECT_TRUE(MatchesFileSpec("*.txt", "Doc/Read me.txt"));
  EXPECT_FALSE(MatchesFileSpec("*.txt", "Doc/x.pdf"));
  EXPECT_TRUE(MatchesFileSpec("Doc/*", "Doc/x.pdf"));
  EXPECT_FALSE(MatchesFileSpec("Doc/*.pdf", "Example/x.pdf"));
}
