#include "RmMessages.h"

#include <gtest/gtest.h>

#include "RmErrors.h"
#include "RmSettings.h"
#include "TestSupport.h"

using namespace Decantor;
using DecantorTest::TScriptedUi;

TEST(Confirm, AsksYesNoQuestionCaptionedWithTitle) {
  TScriptedUi ui;
  ui.Answers = {IDYES, IDNO};
  SetApplicationTitle("Vellix Builder");
  EXPECT_TRUE(Confirm(0, "Create directory: /opt/x ?"));
  EXPECT_FALSE(Confirm(4, "/a"));
  SetApplicationTitle("Merovant auto-extractible file");
  ASSERT_EQ(ui.Boxes.size(), 2u);
  EXPECT_EQ(ui.Boxes[0].Text, "Create directory: /opt/x ?");
  EXPECT_EQ(ui.Boxes[0].Caption, "Vellix Builder");
  EXPECT_EQ(ui.Boxes[0].Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(ui.Boxes[1].Text, "File not found : /a ?");
}

TEST(Warn, ShowsExclamationAndCounts) {
  TScriptedUi ui;
  ui.Answers = {IDOK, IDCANCEL};
  int32_t before = WarningCount();
  EXPECT_TRUE(Warn(17, "/data", false));
  EXPECT_FALSE(Warn(17, "/data", true));
  EXPECT_EQ(WarningCount(), before + 2);
  EXPECT_EQ(ui.Boxes[0].Text, "Directory not found : /data.");
  EXPECT_EQ(ui.Boxes[0].Flags, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(ui.Boxes[1].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
}

TEST(Messages, SilentModeShowsNothing) {
  TScriptedUi ui;
  SetSilentMode(true);
  EXPECT_TRUE(Confirm(0, "Quit?"));
  EXPECT_TRUE(Warn(4, "/a", true));
  try {
    CustomMsg("hello", MB_OK);
    ADD_FAILURE() << "no exception";
  } catch (const EMerovantError& e) {
    EXPECT_EQ(e.ErrorCode(), 1280);
    EXPECT_EQ(e.Info(), "CustomMsg");
  }
  SetSilentMode(false);
  EXPECT_TRUE(ui.Boxes.empty());
}

namespace {
class TFakeTrayWindow : public TTrayWindow {
public:
  bool Showing() const override { return FShowing; }
  void HideToTray() override { FShowing = false, ++Hidden; }
  void RestoreFromTray() override { FShowing = true, ++Restored; }
  bool CloseWithoutQuery() override { return false; }
  bool FShowing = true;
  int Hidden = 0;
  int Restored = 0;
};
}  // namespace

TEST(CustomMsg, HidesFirstShowingTrayWindowDuringBox) {
  TScriptedUi ui;
  TFakeTrayWindow hiddenOne, shownOne;
  hiddenOne.FShowing = false;
  TrayWindows() = {&hiddenOne, &shownOne};
  EXPECT_EQ(CustomMsg("x", MB_OK), IDOK);
  TrayWindows().clear();
  EXPECT_EQ(hiddenOne.Hidden, 0);
  EXPECT_EQ(shownOne.Hidden, 1);
  EXPECT_EQ(shownOne.Restored, 1);
  EXPECT_TRUE(shownOne.Showing());
}
