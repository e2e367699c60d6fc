#include "RmErrors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "RmLog.h"
#include "RmSettings.h"
#include "TestSupport.h"

using namespace Decantor;
using DecantorTest::ReadFile;
using DecantorTest::TScratchDir;
using DecantorTest::TScriptedUi;

TEST(ErrorText, GivenExamples) {
  EXPECT_EQ(ErrorText(5, "C:\\a.txt", ""), "Can't open file : C:\\a.txt");
  EXPECT_EQ(ErrorText(7, "", "."), "Error 7.");
  EXPECT_EQ(ErrorText(0, "Error during extraction", ""), "Error during extraction");
}

TEST(ErrorText, CodeZeroIsTheInfoWordForWord) {
  EXPECT_EQ(ErrorText(0, "Extraction is not complete.\r\nDo you want to quit?", " ?"),
            "Extraction is not complete.\r\nDo you want to quit?");
  EXPECT_EQ(ErrorText(0, "Create directory: /x", " ?"), "Create directory: /x");
}

TEST(ErrorText, SuffixIsAddedOnlyWhenMissing) {
  EXPECT_EQ(ErrorText(4, "/a/b", " ?"), "File not found : /a/b ?");
  EXPECT_EQ(ErrorText(4, "/a/b ?", " ?"), "File not found : /a/b ?");
  EXPECT_EQ(ErrorText(4, "the end.", " ?"), "File not found : the end.");
  EXPECT_EQ(ErrorText(4, "stop!", "."), "File not found : stop!");
  EXPECT_EQ(ErrorText(4, "", " ?"), "File not found ?");
  // The table text of 54 already ends with ".", 56 with "!".
  EXPECT_EQ(ErrorText(54, "", "."), "Can't find Merovant Lumenbase configuration Parameters.");
  EXPECT_EQ(ErrorText(56, "", "."), "Merovant Lumenbase files were found !");
  EXPECT_EQ(AddSuffix("abc", ""), "abc");
}

TEST(ErrorText, LongInfoGoesOnItsOwnLine) {
  std::string info200(200, 'x');
  EXPECT_EQ(ErrorText(5, info200, "."), "Can't open file : " + info200 + ".");
  std::string info201(201, 'x');
  EXPECT_EQ(ErrorText(5, info201, ""), "Can't open file :\r\n" + info201 + ".");
  EXPECT_EQ(ErrorText(5, info201, " ?"), "Can't open file ? :\r\n" + info201 + ".");
  // Info is a short string: only its first 255 characters count.
  std::string info300(300, 'y');
  EXPECT_EQ(ErrorText(5, info300, ""), "Can't open file :\r\n" + std::string(255, 'y') + ".");
}

TEST(ErrorText, DoubleSlashBecomesLineBreak) {
  SetMessageTextOverride([](int32_t code, std::string& text) {
    if (code == 100) text = "First line//Second line";
    if (code == 101) text = "Heading//";
  });
  EXPECT_EQ(ErrorText(100, "", ""), "First line\r\nSecond line");
  EXPECT_EQ(ErrorText(100, "/x", "."), "First line\r\nSecond line : /x.");
  // A text ending in a line break takes the Info without " : ".
  EXPECT_EQ(ErrorText(101, "/x", ""), "Heading\r\n/x");
  // The override replaces the table for every code; what it leaves empty is "Error n".
  EXPECT_EQ(ErrorText(4, "", ""), "Error 4");
  SetMessageTextOverride(nullptr);
  EXPECT_EQ(ErrorText(4, "", ""), "File not found");
}

TEST(ErrorText, EveryCodeHasItsText) {
  const std::map<int32_t, std::string> table = {
      {1, "Internal error"},
      {3, "File corrupted"},
      {4, "File not found"},
      {5, "Can't open file"},
      {11, "File locked"},
      {12, "Can't load"},
      {15, "Can't create directory"},
      {16, "Bad software installation"},
      {17, "Directory not found"},
      {20, "Abort current process"},
      {21, "Process aborted"},
      {28, "Key not found in Configuration Parameters"},
      {29, "Value not found in Configuration Parameters"},
      {30, "Function not found in DLL"},
      {31, "Invalid value in Configuration Parameters"},
      {37, "Language not supported"},
      {41, "Invalid parameter"},
      {54, "Can't find Merovant Lumenbase configuration Parameters."},
      {55, "Searching for Merovant Lumenbase files..."},
      {56, "Merovant Lumenbase files were found !"},
      {57, "Following parameters have been added to Configuration under key:"},
      {58, "No Data Connector available"},
      {60, "No Language Module available"},
      {61, "Now, it's recommended to do the following:"},
      {62, "     - complete these parameters using the \"Tools|Preferences\" command of each "
           "Lumenbase Module"},
      {63, "     - check configuration of all connectors to be used (\"Tools|Connector "
           "Configuration\" in Administrator Module)"},
      {64, "     - synchronize the Repository with Databases"},
  };
  for (int32_t code = 1; code <= 1300; ++code) {
    auto it = table.find(code);
    std::string expected = it != table.end() ? it->second : "Error " + std::to_string(code);
    EXPECT_EQ(ErrorText(code, "", ""), expected) << "code " << code;
  }
}

TEST(RaiseError, CarriesCodeInfoAndMessage) {
  try {
    RaiseError(5, "/tmp/a");
    FAIL() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
    EXPECT_EQ(e.Info(), "/tmp/a");
    EXPECT_STREQ(e.what(), "Can't open file : /tmp/a");
  }
  try {
    RaiseError(2, "");
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.Message(), "Error 2");
  }
  EXPECT_EQ(EMerovantError(1, std::string(300, 'i')).Info().size(), 255u);
}

TEST(RaiseError, WritesErrorLogWhenAskedExceptForQuietCodes) {
  TScratchDir dir;
  SetErrorLogFile(dir / "log.txt");
  SetLogErrors(true);
  EXPECT_THROW(RaiseError(4, "/a"), EMerovantError);
  EXPECT_THROW(RaiseError(26, "/b"), EMerovantError);
  SetLogErrors(false);
  EXPECT_THROW(RaiseError(4, "/c"), EMerovantError);
  SetErrorLogFile("");
  EXPECT_EQ(ReadFile(dir / "log.txt"), "File not found : /a.\n");
}

TEST(RaiseError, ErrorLogFallsBackToNumberedNames) {
  TScratchDir dir;
  // A directory in the way makes "log.txt" unwritable; the next name is "log1.txt".
  ASSERT_EQ(mkdir((dir / "log.txt").c_str(), 0755), 0);
  SetErrorLogFile(dir / "log.txt");
  WriteErrorLog("one");
  SetErrorLogFile("");
  EXPECT_EQ(ReadFile(dir / "log1.txt"), "one\n");
}

TEST(RaiseErrorLogged, SilentModeTracesBeforeRaising) {
  TScratchDir dir;
  SetTraceFile(dir / "trace.txt");
  SetSilentMode(true);
  EXPECT_THROW(RaiseErrorLogged(12, "/x.so"), EMerovantError);
  EXPECT_THROW(RaiseErrorLogged(30, "dunzip"), EMerovantError);
  SetSilentMode(false);
  SetTraceFile("");
  std::string trace = ReadFile(dir / "trace.txt");
  std::string header = std::string(20, '=') + " Cindrel Log " + std::string(20, '=') + "\n";
  ASSERT_EQ(trace.compare(0, header.size(), header), 0) << trace;
  EXPECT_NE(trace.find("\n\n***** "), std::string::npos);
  EXPECT_NE(trace.find("\tError:\r\n\"Can't load : /x.so.\"\n"), std::string::npos);
  EXPECT_NE(trace.find("\tError:\r\n\"Function not found in DLL : dunzip.\"\n"), std::string::npos);
  // The header is written once, for the new file only.
  EXPECT_EQ(trace.find(header, 1), std::string::npos);
}

TEST(RaiseFatal, ShowsStopBoxAndExits) {
  EXPECT_EXIT(RaiseFatal(7, ""), testing::ExitedWithCode(1), "Error 7\\.");
}

TEST(RaiseFatal, WithoutHaltWarnsAndReturns) {
  TScriptedUi ui;
  SetFatalHalts(false);
  RaiseFatal(7, "");
  SetFatalHalts(true);
  ASSERT_EQ(ui.Boxes.size(), 1u);
  EXPECT_EQ(ui.Boxes[0].Text, "Error 7.");
  EXPECT_EQ(ui.Boxes[0].Flags, MB_OK | MB_ICONEXCLAMATION);
}

TEST(RaiseFatal, SilentModeRaisesInstead) {
  SetSilentMode(true);
  EXPECT_THROW(RaiseFatal(7, ""), EMerovantError);
  SetSilentMode(false);
}
