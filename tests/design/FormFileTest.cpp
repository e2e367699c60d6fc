// The form machinery on a sample component with every kind of property:
// the text written, round trips, declaration order, and refusal of bad forms
// without touching the component.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SampleComponent.h"
#include <vellix/FormFile.h>

using namespace Vellix;
using VellixTest::TSample;

namespace {

std::string Slurp(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TempPath(const std::string& aName) {
  return (std::filesystem::temp_directory_path() /
          ("vellix_form_" + std::to_string(::getpid()) + "_" + aName))
      .string();
}

}  // namespace

TEST(FormFile, WritesEveryPropertyInDeclarationOrderOnePerLine) {
  TSample c;
  c.SetName("Sample1");
  c.SetTitle("It's a \"test\"\r\nline two \xE9");
  c.SetCount(42);
  c.SetMode(VellixTest::smThird);
  c.Items() = {"a, b", "", "x'y"};
  c.SetEventHandlerName("OnGo", "SampleGo");
  EXPECT_EQ(WriteForm(c),
            "object Sample1: TSample\n"
            "  Title = 'It''s a \"test\"'#13#10'line two '#233\n"
            "  Count = 42\n"
            "  Flag = False\n"
            "  Mode = smThird\n"
            "  Items = ('a, b', '', 'x''y')\n"
            "  OnGo = SampleGo\n"
            "  Last = ''\n"
            "end\n");
}

TEST(FormFile, RoundTripRestoresEveryValueAndBindsHandlers) {
  TSample saved;
  saved.SetName("Report");
  std::string allBytes;
  for (int i = 1; i < 256; ++i) allBytes += static_cast<char>(i);
  saved.SetTitle(allBytes);
  saved.SetCount(2147483647);
  saved.SetFlag(true);
  saved.SetMode(VellixTest::smFirst);
  saved.Items() = {};
  saved.SetLast("#'");
  saved.SetEventHandlerName("OnGo", "DoGo");

  int calls = 0;
  TSample loaded;
  ReadForm(loaded, WriteForm(saved), {{"dogo", [&](TObject*) { ++calls; }}});
  EXPECT_EQ(loaded.Name(), "Report");
  EXPECT_EQ(loaded.Title(), allBytes);
  EXPECT_EQ(loaded.Count(), 2147483647);
  EXPECT_TRUE(loaded.Flag());
  EXPECT_EQ(loaded.Mode(), VellixTest::smFirst);
  EXPECT_TRUE(loaded.Items().empty());
  EXPECT_EQ(loaded.Last(), "#'");
  EXPECT_EQ(loaded.EventHandlerName("OnGo"), "DoGo");
  ASSERT_TRUE(loaded.OnGo());
  loaded.OnGo()(&loaded);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(WriteForm(loaded), WriteForm(saved));
}

TEST(FormFile, AppliesInDeclarationOrderAndKeepsWhatTheFormLeavesOut) {
  TSample c;
  ReadForm(c,
           "\r\n"
           "OBJECT x :tsample\r\n"
           "\tlast='z'\r\n"
           "   MODE = SMFIRST\r\n"
           "Title='t'\r\n"
           "END\r\n"
           "\r\n");
  EXPECT_EQ(c.Log(), (std::vector<std::string>{"Title", "Mode", "Last"}));
  EXPECT_EQ(c.Name(), "x");
  EXPECT_EQ(c.Count(), 1);  // not in the form: untouched
  EXPECT_EQ(c.Items(), (std::vector<std::string>{"one", "two"}));
}

TEST(FormFile, DesignerModeKeepsHandlerNamesWithoutBinding) {
  TSample c;
  ReadForm(c, "object S: TSample\n  OnGo = Missing\nend\n", {}, hbNamesOnly);
  EXPECT_EQ(c.EventHandlerName("OnGo"), "Missing");
  EXPECT_FALSE(c.OnGo());
  EXPECT_NE(WriteForm(c).find("  OnGo = Missing\n"), std::string::npos);
}

struct TBadForm {
  const char* Text;
  int Line;
  const char* What;
};

TEST(FormFile, MalformedFormsNameTheLineAndLeaveTheComponentUnchanged) {
  const TBadForm cases[] = {
      {"", 0, "empty form"},
      {"object S TSample\nend\n", 1, "expected \":\""},
      {"object S: TSample\n  Title = 'open\nend\n", 2, "unterminated string"},
      {"object S: TSample\n  Colour = 3\nend\n", 2, "unknown property Colour of TSample"},
      {"object S: TSample\n  Count = 'three'\nend\n", 2, "Count expects an integer"},
      {"object S: TSample\n  Count = 2147483648\nend\n", 2, "out of range"},
      {"object S: TSample\n  Count = 12ab\nend\n", 2, "invalid integer"},
      {"object S: TSample\n  Count = -\nend\n", 2, "expected digits"},
      {"object S: TSample\n  Mode = smFourth\nend\n", 2, "Mode expects one of smFirst, smSecond, smThird"},
      {"object S: TSample\n  Flag = 1\nend\n", 2, "Flag expects one of False, True"},
      {"object S: TSample\n  Items = ('a' 'b')\nend\n", 2, "\",\" or \")\""},
      {"object S: TSample\n  Items = 'a'\nend\n", 2, "Items expects a list of strings"},
      {"object S: TSample\n  Title = #300\nend\n", 2, "invalid character code"},
      {"object S: TSample\n  Title 'x'\nend\n", 2, "expected \"=\""},
      {"object S: TSample\n  Title = 'x' 'y'\nend\n", 2, "unexpected text after the value"},
      {"object S: TSample\n  Title = 'a'\n\n  title = 'b'\nend\n", 4, "given twice (first on line 2)"},
      {"object S: TSample\n  OnGo = Nobody\nend\n", 2, "no event handler named Nobody for OnGo"},
      {"object S: TSample\n  Title = 'x'\n", 2, "missing \"end\""},
      {"object S: TSample\nend\nTitle = 'x'\n", 3, "unexpected text after \"end\""},
      {"object S: TSample\n  object T: TSample\nend\n", 2, "nested objects"},
      {"object S: TOther\nend\n", 1, "the form holds a TOther, not a TSample"},
  };
  for (const auto& bad : cases) {
    if (!bad.What) continue;
    SCOPED_TRACE(bad.Text);
    TSample c;
    std::string before = WriteForm(c);
    try {
      ReadForm(c, bad.Text, {}, hbBind, "test.vfm");
      ADD_FAILURE() << "accepted";
    } catch (const EFormError& e) {
      EXPECT_EQ(e.Line(), bad.Line);
      EXPECT_NE(e.Message().find(bad.What), std::string::npos) << e.Message();
      EXPECT_EQ(e.Message().rfind("test.vfm, line " + std::to_string(bad.Line) + ": ", 0), 0u)
          << e.Message();
    }
    EXPECT_EQ(WriteForm(c), before);
    EXPECT_EQ(c.Assignments(), 0);
  }
  // Binary content is reported with the offending byte, not copied into the message.
  TSample c;
  try {
    ReadForm(c, std::string("object S: TSample\n  Title = \x01\nend\n"));
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_NE(e.Message().find("character #1"), std::string::npos) << e.Message();
  }
}

TEST(FormFile, ValueRefusedBySetterIsFoundOnScratchComponent) {
  TSample c;
  c.SetTitle("kept");
  int before = c.Assignments();
  try {
    ReadForm(c, "object S: TSample\n  Last = 'Bad'\n  Title = 'new'\nend\n");
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Line(), 2);
    EXPECT_EQ(e.What(), "Invalid property value: Last");
  }
  EXPECT_EQ(c.Assignments(), before);  // the real component was never touched
  EXPECT_EQ(c.Title(), "kept");
  EXPECT_EQ(c.Name(), "");
}

TEST(FormFile, SetterFailingOnRealComponentRollsBack) {
  TSample c;
  c.SetName("Old");
  c.SetTitle("old title");
  c.Items() = {"x"};
  std::string before = WriteForm(c);
  c.Freeze(true);  // the first checked setter refuses, as while printing
  try {
    ReadForm(c, "object New: TSample\n  Items = ('y')\n  Title = 'new'\n  Count = 5\nend\n");
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_EQ(e.What(), "Can't modify property when printing: Title");
  }
  EXPECT_EQ(WriteForm(c), before);
}

TEST(FormFile, FilesSaveAtomicallyAndLoadWithFileNameInErrors) {
  std::string path = TempPath("a.vfm");
  TSample c;
  c.SetName("S");
  c.SetCount(7);
  SaveFormFile(c, path);
  EXPECT_EQ(Slurp(path), WriteForm(c));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  TSample d;
  LoadFormFile(d, path);
  EXPECT_EQ(d.Count(), 7);
  EXPECT_EQ(ParseFormFile(path).ClassName, "TSample");

  EXPECT_THROW(SaveFormFile(c, TempPath("nodir") + "/x.vfm"), EStreamError);
  EXPECT_THROW(LoadFormFile(d, TempPath("missing.vfm")), EFOpenError);

  {
    std::ofstream out(path, std::ios::binary);
    out << "object S: TSample\n  Count = x\nend\n";
  }
  try {
    LoadFormFile(d, path);
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Message(), path + ", line 2: Count expects an integer");
  }
  EXPECT_EQ(d.Count(), 7);
  std::remove(path.c_str());
}
