// Pieces of the installer stub tested on their own: the follow-up command's
// splitting and "$" replacement, the destination dialog's close question, and
// the error box's full-stop rule.
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DestDir.h"
#include "DestinationCheck.h"
#include "FollowUpCommand.h"
#include "Main.h"
#include "TestSupport.h"

using namespace Decantor;

namespace {

using TWords = std::vector<std::string>;

}  // namespace

TEST(FollowUpCommand, WordsSplitAtBlanksAndQuotesGroup) {
  EXPECT_EQ(SplitCommandWords("a  b\tc"), (TWords{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandWords("run \"two words\" x\"y z\""), (TWords{"run", "two words", "xy z"}));
  EXPECT_EQ(SplitCommandWords("a \"\" b"), (TWords{"a", "", "b"}));
  EXPECT_EQ(SplitCommandWords("a \"open to end"), (TWords{"a", "open to end"}));
  EXPECT_EQ(SplitCommandWords("semi;colon $(x) `y`"), (TWords{"semi;colon", "$(x)", "`y`"}));
  EXPECT_TRUE(SplitCommandWords("  ").empty());
}

TEST(FollowUpCommand, DestinationStaysInsideItsWord) {
  const TFollowUpCommand c =
      BuildFollowUpCommand("$/bin/tool --in=\"$/a b\" $ $$", "/opt/x y;rm -rf $(z)");
  EXPECT_EQ(c.Program, "/opt/x y;rm -rf $(z)/bin/tool");
  EXPECT_EQ(c.Arguments, (TWords{"--in=/opt/x y;rm -rf $(z)/a b", "/opt/x y;rm -rf $(z)",
                                 "/opt/x y;rm -rf $(z)/opt/x y;rm -rf $(z)"}));
}

TEST(FollowUpCommand, BareProgramRunsFromTheDestination) {
  EXPECT_EQ(BuildFollowUpCommand("setup.sh --quiet", "/opt/d").Program, "/opt/d/setup.sh");
  // A "/" anywhere, also only in an argument, keeps the program as written.
  const TFollowUpCommand c = BuildFollowUpCommand("xdg-open $/Doc/x.txt", "/opt/d");
  EXPECT_EQ(c.Program, "xdg-open");
  EXPECT_EQ(c.Arguments, TWords{"/opt/d/Doc/x.txt"});
  EXPECT_TRUE(BuildFollowUpCommand("", "/opt/d").Program.empty());
}

TEST(FollowUpCommand, NotepadOpensTheRestOfTheLineWithTheDesktopOpener) {
  const TFollowUpCommand c = BuildFollowUpCommand("Notepad.exe $/Doc/Read me.txt", "/opt/V B");
  EXPECT_EQ(c.Program, "xdg-open");
  EXPECT_EQ(c.Arguments, TWords{"/opt/V B/Doc/Read me.txt"});
  EXPECT_EQ(BuildFollowUpCommand("notepad \"readme.txt\"", "/opt/d").Arguments,
            TWords{"/opt/d/readme.txt"});
}

TEST(DestDirForm, AsksBeforeAcceptingAMissingDirectory) {
  DecantorTest::TScriptedUi ui;
  DecantorTest::TScratchDir scratch;
  TDestDirForm form;
  form.SetPath(scratch.Path());
  EXPECT_TRUE(form.PressOk());
  EXPECT_TRUE(ui.Boxes.empty()) << "asked about an existing directory";

  const std::string missing = scratch / "new dir/";
  form.SetPath(missing);
  ui.Answers = {IDNO, IDYES};
  EXPECT_FALSE(form.PressOk());
  EXPECT_EQ(form.ModalResult(), mrNone);
  EXPECT_EQ(form.Path(), missing) << "the edit box must stay as typed";
  EXPECT_TRUE(form.PressOk());
  EXPECT_EQ(form.ModalResult(), mrOk);
  ASSERT_EQ(ui.Boxes.size(), 2u);
  EXPECT_EQ(ui.Boxes[0].Text, "Create directory: " + missing + " ?");
  EXPECT_EQ(ui.Boxes[0].Flags, MB_YESNO | MB_ICONQUESTION);

  // An empty path counts as missing; a file, or a path below one, is refused
  // without a question. Cancel never asks.
  form.SetPath("");
  ui.Answers = {IDYES};
  EXPECT_TRUE(form.PressOk());
  EXPECT_EQ(ui.Boxes.back().Text, "Create directory:  ?");
  DecantorTest::WriteFile(scratch / "file", "x");
  for (const std::string& path : {scratch / "file", scratch / "file/below"}) {
    form.SetPath(path);
    ui.Answers = {IDOK};
    EXPECT_FALSE(form.PressOk());
    EXPECT_EQ(form.ModalResult(), mrNone);
    EXPECT_EQ(ui.Boxes.back().Text, "Not a directory: " + (scratch / "file"));
    EXPECT_EQ(ui.Boxes.back().Flags, MB_OK | MB_ICONSTOP);
  }
  // A long path loses its middle in the question, never the " ?".
  const std::string longPath = "/opt/" + std::string(200, 'a') + "/\xC3\xA9" + std::string(150, 'b') + "/end";
  form.SetPath(longPath);
  ui.Answers = {IDYES};
  EXPECT_TRUE(form.PressOk());
  const std::string& question = ui.Boxes.back().Text;
  EXPECT_LE(question.size(), 255u);
  EXPECT_EQ(question.substr(question.size() - 6), "/end ?");
  EXPECT_EQ(question.rfind("Create directory: /opt/aaa", 0), 0u);
  EXPECT_NE(question.find("..."), std::string::npos);
  EXPECT_EQ(form.Path(), longPath) << "the path itself stays whole";

  const size_t asked = ui.Boxes.size();
  form.SetPath(missing);
  form.PressCancel();
  EXPECT_EQ(form.ModalResult(), mrCancel);
  EXPECT_EQ(ui.Boxes.size(), asked);
}

namespace {

// aCheck's answer computed in a child process as an unprivileged user (the
// user "nobody" when the tests run as root), with a hard limit on the wait.
std::string AsUnprivilegedUser(const std::function<std::string()>& aCheck) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "(no pipe)";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    alarm(30);
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    const std::string answer = aCheck();
    (void)!write(pipeFds[1], answer.data(), answer.size());
    _exit(0);
  }
  close(pipeFds[1]);
  std::string answer;
  char chunk[512];
  for (ssize_t n; (n = read(pipeFds[0], chunk, sizeof chunk)) > 0;) answer.append(chunk, size_t(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "(child failed)";
}

}  // namespace

TEST(DestinationCheck, AFileOrAPlaceThisUserCannotWriteIsRefused) {
  DecantorTest::TScratchDir scratch;
  chmod(scratch.Path().c_str(), 0755);  // the unprivileged child must reach inside
  DecantorTest::WriteFile(scratch / "file", "x");
  mkdir((scratch / "locked").c_str(), 0555);
  mkdir((scratch / "open").c_str(), 0777);
  chmod((scratch / "open").c_str(), 0777);
  EXPECT_EQ(DestinationProblem(""), "");
  EXPECT_EQ(DestinationProblem(scratch / "file"), "Not a directory: " + (scratch / "file"));
  EXPECT_EQ(DestinationProblem(scratch / "file/a/b"), "Not a directory: " + (scratch / "file"));
  EXPECT_EQ(DestinationProblem(scratch / "new/deeper"), "");
  EXPECT_EQ(AsUnprivilegedUser([&] { return DestinationProblem(scratch / "locked/new"); }),
            "Can't write to directory: " + (scratch / "locked"));
  EXPECT_EQ(AsUnprivilegedUser([&] { return DestinationProblem(scratch / "locked"); }),
            "Can't write to directory: " + (scratch / "locked"));
  EXPECT_EQ(AsUnprivilegedUser([&] { return DestinationProblem(scratch / "open/new"); }), "");
  // The same user is offered the place in the home instead.
  EXPECT_EQ(AsUnprivilegedUser([&] {
              setenv("HOME", (scratch / "open").c_str(), 1);
              return UserDestination(scratch / "locked/Merovant/Vellix Builder", scratch / "locked");
            }),
            scratch / "open/.local/opt/Merovant/Vellix Builder");
  EXPECT_EQ(AsUnprivilegedUser([&] { return UserDestination(scratch / "open/app", scratch.Path()); }),
            scratch / "open/app");
  EXPECT_EQ(HomeDestination("/usr/local/tool/", "/opt", "/home/u/"), "/home/u/.local/opt/tool");
  EXPECT_EQ(HomeDestination("/opt/Merovant/Vellix Builder", "/opt", "/home/u"),
            "/home/u/.local/opt/Merovant/Vellix Builder");
}

TEST(MainForm, ErrorBoxAddsAFullStopAfterLettersOnly) {
  DecantorTest::TScriptedUi ui;
  for (const auto& [message, shown] :
       std::vector<std::pair<std::string, std::string>>{{"Error during extraction",
                                                         "Error during extraction."},
                                                        {"Done.", "Done."},
                                                        {"(x)", "(x)"},
                                                        {"Really?", "Really?."},
                                                        {"Error 2", "Error 2."},
                                                        {"", ""}}) {
    TMainForm::ShowError(message);
    EXPECT_EQ(ui.Boxes.back().Text, shown);
    EXPECT_EQ(ui.Boxes.back().Flags, MB_OK | MB_ICONSTOP);
  }
}
