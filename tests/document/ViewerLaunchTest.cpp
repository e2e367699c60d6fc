// Finding and starting the PDF viewer and the browser, with fake programs on PATH.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/os/Launcher.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

void WriteScript(const std::string& aPath, const std::string& aBody) {
  std::ofstream(aPath) << "#!/bin/sh\n" << aBody << "\n";
  ::chmod(aPath.c_str(), 0755);
}

// Waits for a file that a detached program writes.
std::string AwaitFile(const std::string& aPath) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = ReadFileBytes(aPath);
    if (!text.empty() && text.back() == '\n' && text.find("END\n") != std::string::npos) return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return ReadFileBytes(aPath);
}

// A desktop where PATH and the data directories are a test directory.
class FakeDesktop : public ::testing::Test {
protected:
  void SetUp() override {
    FOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::mkdir(FDir.File("bin").c_str(), 0755);
    ::mkdir(FDir.File("share").c_str(), 0755);
    ::mkdir(FDir.File("share/applications").c_str(), 0755);
    ::setenv("PATH", FDir.File("bin").c_str(), 1);
    ::setenv("XDG_DATA_HOME", FDir.File("share").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", FDir.File("none").c_str(), 1);
    AcrobatFile.clear();
  }
  void TearDown() override {
    ::setenv("PATH", FOldPath.c_str(), 1);
    AcrobatFile.clear();
  }
  // A program that records its arguments, one per line, then "END".
  void FakeProgram(const std::string& aName, const std::string& aLog) {
    WriteScript(FDir.File("bin/" + aName), "for a in \"$@\"; do echo \"$a\"; done > " + aLog + ".tmp; echo END >> " +
                                              aLog + ".tmp; /bin/mv " + aLog + ".tmp " + aLog);
  }
  TTempDir FDir;
  std::string FOldPath;
};

}  // namespace

TEST(Launcher, SplitsExecLines) {
  EXPECT_EQ(Launcher::SplitExec("evince %U"), (std::vector<std::string>{"evince", "%U"}));
  EXPECT_EQ(Launcher::SplitExec("\"/opt/My Viewer/view\" --x \"a \\\"b\\\"\"  %f"),
            (std::vector<std::string>{"/opt/My Viewer/view", "--x", "a \"b\"", "%f"}));
  const Launcher::TLaunchCommand command{"/bin/v", {"--new", "%u", "%i", "100%%"}};
  EXPECT_EQ(Launcher::CommandLine(command, "t.pdf"), (std::vector<std::string>{"/bin/v", "--new", "t.pdf", "100%"}));
  EXPECT_EQ(Launcher::CommandLine({"/bin/v", {}}, "t.pdf"), (std::vector<std::string>{"/bin/v", "t.pdf"}));
  EXPECT_EQ(Launcher::CommandLine({"/bin/v", {"--file=%f", "%U"}}, "t.pdf"),
            (std::vector<std::string>{"/bin/v", "--file=t.pdf"}));
}

TEST_F(FakeDesktop, ShowOpensTheDesktopDefaultViewer) {
  // mv is not on the fake PATH: give the script an absolute one.
  WriteScript(FDir.File("bin/xdg-mime"), "[ \"$1 $2 $3\" = \"query default application/pdf\" ] && echo fake-viewer.desktop");
  std::ofstream(FDir.File("share/applications/fake-viewer.desktop"))
      << "[Desktop Entry]\nName=Fake\nExec=fakeview --page 1 %f\n[Desktop Action x]\nExec=wrong\n";
  const std::string log = FDir.File("viewer.log");
  WriteScript(FDir.File("bin/fakeview"), "for a in \"$@\"; do echo \"$a\"; done > " + log + ".tmp; echo END >> " + log +
                                             ".tmp; /bin/mv " + log + ".tmp " + log);
  const std::string pdf = WriteDocument(FDir.File("shown.pdf"), nullptr, [](TVellix& doc) { doc.SetWantShow(true); });
  EXPECT_EQ(AwaitFile(log), "--page\n1\n" + FDir.File("shown.pdf") + "\nEND\n");
  EXPECT_EQ(AcrobatFile, FDir.File("bin/fakeview"));
  ::setenv("PATH", FOldPath.c_str(), 1);
  EXPECT_EQ(ReadersComplaints(FDir.File("shown.pdf")), "");
  ::setenv("PATH", FDir.File("bin").c_str(), 1);

  // Found once, then reused while the program exists.
  ::unlink(FDir.File("bin/xdg-mime").c_str());
  ::unlink(log.c_str());
  TVellix doc;
  doc.SetFileName(FDir.File("shown.pdf"));
  doc.Show();
  EXPECT_EQ(AwaitFile(log), "--page\n1\n" + FDir.File("shown.pdf") + "\nEND\n");
}

TEST_F(FakeDesktop, XdgOpenIsTheFallbackViewer) {
  const std::string log = FDir.File("open.log");
  WriteScript(FDir.File("bin/xdg-open"), "for a in \"$@\"; do echo \"$a\"; done > " + log + ".tmp; echo END >> " + log +
                                             ".tmp; /bin/mv " + log + ".tmp " + log);
  TVellix doc;
  doc.SetFileName(FDir.File("x.pdf"));
  doc.BeginDoc();
  doc.EndDoc();
  doc.Show();
  EXPECT_EQ(AwaitFile(log), FDir.File("x.pdf") + "\nEND\n");
}

TEST_F(FakeDesktop, NoViewerAfterEndDoc) {
  TVellix doc;
  std::vector<std::string> events;
  doc.SetOnEnd([&](TObject*) { events.push_back("end"); });
  doc.SetOnAbort([&](TObject*) { events.push_back("abort"); });
  doc.SetFileName(FDir.File("kept.pdf"));
  doc.SetWantShow(true);
  doc.BeginDoc();
  EXPECT_EQ(MessageOf([&] { doc.EndDoc(); }), "Can't find Adobe Acrobat");
  EXPECT_EQ(events, (std::vector<std::string>{"end"}));
  EXPECT_TRUE(FileExists(FDir.File("kept.pdf")));
  EXPECT_FALSE(doc.Printing());
}

TEST_F(FakeDesktop, ShowOfAMissingFile) {
  FakeProgram("xdg-open", FDir.File("unused.log"));
  TVellix doc;
  doc.SetFileName(FDir.File("gone.pdf"));
  EXPECT_EQ(MessageOf([&] { doc.Show(); }), "File not found: " + FDir.File("gone.pdf"));
}

TEST_F(FakeDesktop, ConnectToMerovantOpensTheBrowser) {
  const std::string log = FDir.File("browser.log");
  WriteScript(FDir.File("bin/x-www-browser"), "for a in \"$@\"; do echo \"$a\"; done > " + log + ".tmp; echo END >> " +
                                                  log + ".tmp; /bin/mv " + log + ".tmp " + log);
  TVellix doc;
  doc.ConnectToMerovant("vellix/help.html");
  EXPECT_EQ(AwaitFile(log), "https://www.merovant.com/vellix/help.html\nEND\n");
  // The browser is not our child: nothing is left to wait for.
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
}

TEST_F(FakeDesktop, NoBrowser) {
  TVellix doc;
  EXPECT_EQ(MessageOf([&] { doc.ConnectToMerovant(""); }), "Can't find Internet Browser");
  // A launch error aborts an open document like every other error.
  TMemoryStream stream;
  doc.SetOutStream(&stream);
  doc.BeginDoc();
  EXPECT_EQ(MessageOf([&] { doc.ConnectToMerovant(""); }), "Can't find Internet Browser");
  EXPECT_TRUE(doc.Aborted());
}
