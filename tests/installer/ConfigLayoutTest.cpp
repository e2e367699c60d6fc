#include "ConfigLayout.h"

#include <gtest/gtest.h>

#include "Packager.h"

using namespace Decantor;

TEST(ConfigLayout, TrimRemovesControlsAndSpacesAtBothEnds) {
  EXPECT_EQ(TrimConfigText(std::string(" \t title \0\r ", 12)), "title");
  EXPECT_EQ(TrimConfigText("a b"), "a b");
  EXPECT_EQ(TrimConfigText(std::string(49, ' ')), "");
  EXPECT_EQ(TrimConfigText("\xA7/x"), "\xA7/x");
}

TEST(ConfigLayout, OffsetsAreLittleEndian) {
  uint8_t bytes[4];
  WriteLE32(bytes, 251392);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0xD6);
  EXPECT_EQ(bytes[2], 0x03);
  EXPECT_EQ(bytes[3], 0x00);
  EXPECT_EQ(ReadLE32(bytes), 251392);
  WriteLE32(bytes, -1);
  EXPECT_EQ(ReadLE32(bytes), -1);
}

TEST(ConfigLayout, LayoutRule) {
  EXPECT_TRUE(LayoutIsValid(251392, 348160, 1135257));
  EXPECT_FALSE(LayoutIsValid(0, 348160, 1135257));         // no stub
  EXPECT_FALSE(LayoutIsValid(348160, 348160, 1135257));    // empty component
  EXPECT_FALSE(LayoutIsValid(348160, 251392, 1135257));    // component after the archive
  EXPECT_FALSE(LayoutIsValid(251392, 1135257, 1135257));   // empty archive
  EXPECT_FALSE(LayoutIsValid(251392, 0, 1135257));         // zero end offset means end of file
}

TEST(ConfigLayout, EncodeDecodeRoundTrip) {
  TConfigValues values;
  values.DllOffset = 251392;
  values.ZipOffset = 348160;
  values.Title = "Vellix Builder for Delphi version 1.4";
  values.DestDir = ExpandProgramFilesToken("{ProgramFiles}/Merovant/Vellix Builder for Delphi");
  values.RunCommand = "Notepad.exe $/Doc/Read me.txt";
  values.RegisterFile = std::string(49, 'r');
  auto record = EncodeConfigRecord(values);
  TConfigValues back = DecodeConfigRecord(record.data());
  EXPECT_EQ(back.DllOffset, values.DllOffset);
  EXPECT_EQ(back.ZipOffset, values.ZipOffset);
  EXPECT_EQ(back.Title, values.Title);
  EXPECT_EQ(back.DestDir, "\xA7/Merovant/Vellix Builder for Delphi");
  EXPECT_EQ(back.RunCommand, values.RunCommand);
  EXPECT_EQ(back.RegisterFile, values.RegisterFile);
  EXPECT_EQ(ConfigField(record.data(), kConfigRunCommand),
            "Notepad.exe $/Doc/Read me.txt" + std::string(20, ' '));
}

TEST(ConfigLayout, EncodeRefusesTextsTheStubWouldChange) {
  TConfigValues values;
  values.Title = std::string(50, 't');
  EXPECT_THROW(EncodeConfigRecord(values), EPackError);
  values.Title = " leading";
  EXPECT_THROW(EncodeConfigRecord(values), EPackError);
  values.Title = "ok";
  values.RunCommand = "trailing\t";
  EXPECT_THROW(EncodeConfigRecord(values), EPackError);
}

TEST(ConfigLayout, FindRecordsNeedsLengthByteAndRoom) {
  std::string data = std::string(10, 'x') + "\xFF#TNAVOREM#" + std::string(300, ' ');
  EXPECT_EQ(FindConfigRecords(data), (std::vector<std::size_t>{10}));
  EXPECT_TRUE(FindConfigRecords("x#TNAVOREM#" + std::string(300, ' ')).empty());
  EXPECT_TRUE(FindConfigRecords("\xFF#TNAVOREM#" + std::string(100, ' ')).empty());
  EXPECT_EQ(FindConfigRecords(data + data).size(), 2u);
}

TEST(ConfigLayout, ProgramFilesToken) {
  EXPECT_EQ(ExpandProgramFilesToken("{ProgramFiles}/App"), "\xA7/App");
  EXPECT_EQ(ExpandProgramFilesToken("/srv/App"), "/srv/App");
  EXPECT_EQ(ExpandProgramFilesToken("x{ProgramFiles}"), "x{ProgramFiles}");
}
