// The library's design-time registration: the palette page, the three
// editors and what they do, with scripted dialogs.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "FakeDialogs.h"
#include "Palette.h"
#include "PdfReg.h"
#include "PropertyEditorRegistry.h"
#include <vellix/PaperSizes.h>
#include <vellix/Document.h>

using namespace Vellix;
using namespace Vellix::Design;
using VellixTest::TCountingDesigner;
using VellixTest::TFakeDialogsScope;

namespace {

class PdfReg : public ::testing::Test {
protected:
  void SetUp() override { Register(); }

  std::unique_ptr<TPropertyEditor> Editor(const char* aProperty,
                                          std::vector<TComponent*> aSelection = {}) {
    if (aSelection.empty()) aSelection = {&FVellix};
    const TPublishedProperty* p = FVellix.PublishedProperties().Find(aProperty);
    return PropertyEditors().CreateEditor(FDesigner, aSelection, *p);
  }

  TVellix FVellix;
  TCountingDesigner FDesigner;
};

// Puts a fake browser first on PATH for the life of a test; it records the
// arguments it is started with.
class TFakeBrowser {
public:
  explicit TFakeBrowser(bool aPresent) : FOldPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
    FDir = std::filesystem::temp_directory_path() / ("vellix_browser_" + std::to_string(::getpid()));
    std::filesystem::create_directories(FDir);
    FLog = FDir / "args.txt";
    if (aPresent) {
      auto script = FDir / "x-www-browser";
      // Shell built-ins only: PATH holds nothing but this directory.
      std::ofstream(script) << "#!/bin/sh\necho \"$@\" > '" << FLog.string() << "'\n";
      std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    setenv("PATH", FDir.c_str(), 1);  // nothing else: no real browser starts
  }
  ~TFakeBrowser() {
    setenv("PATH", FOldPath.c_str(), 1);
    std::filesystem::remove_all(FDir);
  }
  // The arguments the browser got, waiting up to five seconds for the
  // whole line to be written.
  std::string Arguments() const {
    for (int i = 0; i < 500; ++i) {
      std::ifstream in(FLog, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), {});
      if (!text.empty() && text.back() == '\n') return text.substr(0, text.size() - 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
  }

private:
  std::string FOldPath;
  std::filesystem::path FDir, FLog;
};

}  // namespace

TEST_F(PdfReg, PutsTVellixOnMerovantPageWithItsThreeEditors) {
  const TPalettePage* page = ComponentPalette().FindPage("Merovant");
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->Classes.size(), 1u);
  EXPECT_EQ(page->Classes[0].ClassName, "TVellix");
  auto placed = page->Classes[0].Create(nullptr);
  EXPECT_EQ(placed->ClassName(), "TVellix");

  auto about = Editor("About");
  auto file = Editor("FileName");
  auto paper = Editor("PaperSizeName");
  EXPECT_EQ(about->ClassName(), "TAboutProperty");
  EXPECT_EQ(file->ClassName(), "TFileNameProperty");
  EXPECT_EQ(paper->ClassName(), "TPaperSizeNameProperty");
  EXPECT_EQ(about->GetAttributes(), paDialog);
  EXPECT_EQ(file->GetAttributes(), paDialog);
  EXPECT_EQ(paper->GetAttributes(), paValueList);  // not sorted
  EXPECT_EQ(Editor("Author")->ClassName(), "TStringProperty");
  EXPECT_EQ(Editor("Title")->ClassName(), "TStringProperty");

  std::vector<std::string> values;
  paper->GetValues([&](const std::string& v) { values.push_back(v); });
  ASSERT_EQ(values.size(), 42u);
  EXPECT_EQ(values.front(), "Custom");
  EXPECT_EQ(values.back(), "German Legal Fanfold");
  EXPECT_EQ(std::count(values.begin(), values.end(), "B4"), 2);
  EXPECT_EQ(std::count(values.begin(), values.end(), "B5"), 2);
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(values[i], PaperSizeNames[i]);

  Register();  // registering again changes nothing visible
  EXPECT_EQ(ComponentPalette().FindPage("Merovant")->Classes.size(), 1u);
  EXPECT_EQ(Editor("About")->ClassName(), "TAboutProperty");
}

// The text encoding is chosen in the inspector from its two values.
TEST_F(PdfReg, TextEncodingIsAChoiceOfItsValues) {
  auto editor = Editor("TextEncoding");
  ASSERT_TRUE(editor);
  EXPECT_TRUE(editor->GetAttributes() & paValueList);
  std::vector<std::string> values;
  editor->GetValues([&](const std::string& v) { values.push_back(v); });
  EXPECT_EQ(values, (std::vector<std::string>{"teAnsi", "teUtf8"}));
  EXPECT_EQ(editor->GetValue(), "teAnsi");
  editor->SetValue("teUtf8");
  EXPECT_EQ(FVellix.TextEncoding(), teUtf8);
  EXPECT_EQ(FDesigner.Count, 1);
}

TEST_F(PdfReg, PaperSizeChoiceGoesThroughTheSetterOfTheFirstComponent) {
  TVellix second;
  auto paper = Editor("PaperSizeName", {&FVellix, &second});
  try {
    paper->SetValue("Custom");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid property value: PaperSizeName");
  }
  EXPECT_EQ(FDesigner.Count, 0);
  EXPECT_EQ(FVellix.PaperSizeName(), "A4");

  paper->SetValue("Letter");
  EXPECT_EQ(FVellix.PageWidth(), 2159);
  EXPECT_EQ(FVellix.PageHeight(), 2794);
  EXPECT_EQ(paper->GetValue(), "Letter");
  EXPECT_EQ(second.PaperSizeName(), "A4");
  EXPECT_EQ(FDesigner.Count, 1);
}

TEST_F(PdfReg, FileNameDialogChangesTheNameOnlyWhenConfirmed) {
  TFakeDialogsScope dialogs;
  FVellix.SetFileName("old.pdf");
  auto file = Editor("FileName");
  file->Edit();
  ASSERT_EQ(dialogs->FileRequests.size(), 1u);
  EXPECT_EQ(dialogs->FileRequests[0].Title, "PDF File Name");
  EXPECT_EQ(dialogs->FileRequests[0].Filter, "PDF Files|*.pdf|All Files|*.*");
  EXPECT_EQ(dialogs->FileRequests[0].FileName, "old.pdf");
  EXPECT_EQ(FVellix.FileName(), "old.pdf");
  EXPECT_EQ(FDesigner.Count, 0);

  dialogs->ConfirmFile = true;
  dialogs->ChosenFile = "/data/new.pdf";
  file->Edit();
  EXPECT_EQ(FVellix.FileName(), "/data/new.pdf");
  EXPECT_EQ(FDesigner.Count, 1);
}

TEST_F(PdfReg, AboutBoxShowsTheProductAndItsLinkOpensTheMakersPage) {
  TFakeDialogsScope dialogs;
  TAboutBoxContent c = VellixAboutBoxContent();
  EXPECT_EQ(c.Caption, "About Vellix Builder");
  EXPECT_EQ(c.Width, 339);
  EXPECT_EQ(c.Height, 212);
  EXPECT_EQ(c.FontName, "MS Sans Serif");
  EXPECT_EQ(c.FontSize, 8);
  EXPECT_EQ(c.Title.Caption, "Merovant Vellix Builder version 1.4");
  EXPECT_TRUE(c.Title.Bold);
  EXPECT_EQ(c.Title.FontSize, 10);
  EXPECT_EQ((std::vector<int>{c.Title.Left, c.Title.Top, c.Title.Width, c.Title.Height}),
            (std::vector<int>{10, 24, 280, 16}));
  EXPECT_EQ((std::vector<int>{c.Link.Left, c.Link.Top, c.Link.Width, c.Link.Height}),
            (std::vector<int>{10, 96, 280, 16}));
  EXPECT_EQ(c.Link.Color, 0xFF0000);
  EXPECT_TRUE(c.Link.Underline);
  EXPECT_TRUE(c.Link.HandCursor);
  EXPECT_EQ(c.ButtonCaption, "&Ok");

  {
    TFakeBrowser browser(true);
    dialogs->ClickLinkInAbout = true;
    Editor("About")->Edit();
    ASSERT_EQ(dialogs->AboutBoxes.size(), 1u);
    std::string url = browser.Arguments();
    EXPECT_NE(url.find(MerovantWebAddress), std::string::npos) << url;
    EXPECT_TRUE(dialogs->Errors.empty());
  }
  {
    TFakeBrowser none(false);
    Editor("About")->Edit();
    EXPECT_EQ(dialogs->Errors, (std::vector<std::string>{"Can't find Internet Browser"}));
  }
  EXPECT_EQ(FDesigner.Count, 0);  // looking at the about box changes nothing
}
