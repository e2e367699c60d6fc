#include "RmRegistry.h"

#include <gtest/gtest.h>

#include "RmErrors.h"

using namespace Decantor;

TEST(Registry, ProgramFilesDir) {
  EXPECT_EQ(ReadCurrentVersionValue("ProgramFilesDir"), "/opt/");
  EXPECT_EQ(ReadCurrentVersionValue("programfilesdir"), "/opt/");
  EXPECT_EQ(ReadCurrentVersionValue("NoSuchValue"), "");
}

TEST(Registry, MissingKeyNamesThePathDownToIt) {
  TRegistry reg(HKEY_LOCAL_MACHINE);
  try {
    OpenKeyPath(reg, "Software\\Microsoft\\Nothing\\Deeper", true);
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 28);
    EXPECT_EQ(e.Info(), "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Nothing");
    EXPECT_EQ(e.Message(),
              "Key not found in Configuration Parameters : "
              "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Nothing");
  }
  TRegistry user(HKEY_CURRENT_USER);
  try {
    OpenKeyPath(user, "Software\\New", false);
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 59);
    EXPECT_EQ(e.Info(), "HKEY_CURRENT_USER\\Software\\New");
  }
}

TEST(Registry, CursorOpensRelativeKeys) {
  TRegistry reg(HKEY_LOCAL_MACHINE);
  OpenKeyPath(reg, "Software\\Microsoft\\Windows\\CurrentVersion", true);
  EXPECT_EQ(reg.CurrentPath(), "Software\\Microsoft\\Windows\\CurrentVersion");
  EXPECT_TRUE(reg.ValueExists("ProgramFilesDir"));
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "/opt");
  EXPECT_FALSE(reg.OpenKey("Missing", true));
  EXPECT_TRUE(reg.OpenKeyReadOnly("\\Software"));
  EXPECT_EQ(reg.CurrentPath(), "Software");
  EXPECT_EQ(RootKeyName(TRegistry(HKEY_CLASSES_ROOT)), "");
}
