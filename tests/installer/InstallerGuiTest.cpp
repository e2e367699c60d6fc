// The installer's windows under a virtual X server (xvfb-run): the destination
// dialog answers Enter and Escape, the main window's bar reaches 100, a
// message box says where the files went, Cancel takes them back, and the
// pictures the installer saves of its windows are kept in the build directory.
#include <gtest/gtest.h>
#include <unistd.h>
#include <png.h>

#include <map>
#include <utility>
#include <vector>

#include "InstallerRunSupport.h"

using namespace InstallerRun;

namespace {

const std::string kShots = GUI_SCREENSHOTS;

struct TImage {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Rgb;
  bool Valid() const { return Width > 0; }
  // Red, green and blue at (aX, aY).
  std::array<int, 3> At(int aX, int aY) const {
    const size_t i = (size_t(aY) * size_t(Width) + size_t(aX)) * 3;
    return {Rgb[i], Rgb[i + 1], Rgb[i + 2]};
  }
};

TImage ReadPng(const std::string& aPath) {
  TImage result;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, aPath.c_str())) return result;
  image.format = PNG_FORMAT_RGB;
  result.Rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.Rgb.data(), 0, nullptr)) return result;
  result.Width = int(image.width);
  result.Height = int(image.height);
  return result;
}

bool IsBarBlue(const std::array<int, 3>& aPixel) {
  return aPixel[0] < 40 && aPixel[1] < 40 && aPixel[2] > 100;
}

// Text drawn in the area: dark pixels on a light background.
bool HasDarkPixel(const TImage& aImage, int aX0, int aY0, int aX1, int aY1) {
  bool dark = false, light = false;
  for (int y = aY0; y < aY1; ++y)
    for (int x = aX0; x < aX1; ++x) {
      const auto [r, g, b] = aImage.At(x, y);
      dark = dark || r + g + b < 150;
      light = light || r + g + b > 450;
    }
  return dark && light;
}

// A key for the topmost of aWindows mapped windows titled aTitle (2: a
// message box over the main window), sent once they are all there.
struct TKey {
  std::string Title;
  std::string Key;
  int Windows = 1;
};

std::string SendKey(const TKey& aKey) {
  return Quote(XSENDKEY) + " " + Quote(aKey.Title) + " " + aKey.Key + " 20 " + std::to_string(aKey.Windows) +
         " || echo 'window not found: " + aKey.Title + "'; ";
}

// Waits for aPath to exist, 30 s at most.
std::string AwaitFile(const std::string& aPath) {
  return "for i in $(seq 1 300); do [ -e " + Quote(aPath) + " ] && break; sleep 0.1; done; ";
}

class InstallerGui : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Shell("command -v xvfb-run").Status != 0) GTEST_SKIP() << "xvfb-run is not installed";
    fs::create_directories(kShots);
  }

  // The same with keys sent in turn, each to its window (waited for).
  TResult RunWithKeys(const std::string& aInstaller, const std::string& aShots, const std::vector<TKey>& aKeys) {
    std::string steps;
    for (const TKey& key : aKeys) steps += SendKey(key);
    return RunSession(aInstaller, aShots, steps, "");
  }

  // Runs aInstaller (its environment given aEnv) with the shell commands
  // aSteps beside it, which answer its windows.
  TResult RunSession(const std::string& aInstaller, const std::string& aShots, const std::string& aSteps,
                     const std::string& aEnv) {
    fs::remove_all(aShots);
    fs::create_directories(aShots);
    // The installer starts only once the display takes connections: under
    // load the server may still be coming up when xvfb-run runs the script.
    // Hard limits: the installer is killed after 60 s, the whole display
    // session after 100 s (below the test's own 120 s), so that a window that
    // never answers fails the test instead of holding the suite.
    const std::string script = Quote(XSENDKEY) + " --display-only none 30 || echo 'no display'; " + aEnv +
                               " timeout -k 5 60 " + Quote(aInstaller) + " --gui --screenshots " + Quote(aShots) +
                               " & pid=$!; " + aSteps + "wait $pid; echo status=$?";
    // A display number of this process's own, so that another test run on
    // the machine (whose xvfb-run also looks for a free number) cannot take it
    // between xvfb-run's check and its server's start.
    const std::string display = std::to_string(200 + ::getpid() % 700);
    return Shell("timeout -k 5 100 xvfb-run -a -n " + display + " -s '-screen 0 800x600x24' sh -c " + Quote(script));
  }

  TSandbox Box;
};

}  // namespace

TEST_F(InstallerGui, MainWindowShowsItsLabelAndTheBarReaches100) {
  std::map<std::string, std::string> files{{"Doc/Read me.txt", "gui\n"}};
  for (int i = 1; i <= 9; ++i) files["lib/part-" + std::to_string(i) + ".bin"] = std::string(20000, char('a' + i));
  const std::string packed = Box.Pack(files, "--title 'Window test'");
  fs::create_directories(Box / "media");
  const std::string installer = Box / "media/setup";
  fs::copy_file(packed, installer);
  fs::permissions(installer, fs::perms(0755));
  const std::string shots = kShots + "/main";
  // The closing message, a box over the main window, is answered with Enter.
  const TResult run = RunWithKeys(installer, shots, {{"Window test", "Return", 2}});
  EXPECT_NE(run.Output.find("status=0"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("window not found"), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(Box / "media/Doc/Read me.txt"), "gui\n");
  const TImage closing = ReadPng(shots + "/box-1.png");
  ASSERT_TRUE(closing.Valid()) << "no closing message";
  EXPECT_GT(closing.Width, 300) << "the box holds the destination's path on one line";
  EXPECT_TRUE(HasDarkPixel(closing, 62, 14, closing.Width - 12, 30));

  const TImage start = ReadPng(shots + "/main.png");
  const TImage done = ReadPng(shots + "/main-100.png");
  ASSERT_TRUE(start.Valid() && done.Valid());
  EXPECT_EQ(start.Width, 397);
  EXPECT_EQ(start.Height, 96);  // the classic 86, and a line for the file and Cancel
  // "Extracting Files..." is drawn at (20, 26); the bar's far end (20 + 357)
  // is empty at the start and filled at 100.
  EXPECT_TRUE(HasDarkPixel(start, 20, 26, 100, 39));
  EXPECT_FALSE(IsBarBlue(start.At(370, 49)));
  EXPECT_TRUE(IsBarBlue(done.At(370, 49)));
  EXPECT_TRUE(IsBarBlue(done.At(25, 49)));
  // Below the bar: "1 of 1: Doc/Read me.txt" at the left, Cancel at the right.
  EXPECT_TRUE(HasDarkPixel(done, 20, 64, 200, 80));
  EXPECT_TRUE(HasDarkPixel(start, 310, 64, 370, 82));
  // Half way: the bar part filled, a file named below it.
  const TImage half = ReadPng(shots + "/main-progress.png");
  ASSERT_TRUE(half.Valid());
  EXPECT_TRUE(IsBarBlue(half.At(25, 49)));
  EXPECT_FALSE(IsBarBlue(half.At(370, 49)));
  EXPECT_TRUE(HasDarkPixel(half, 20, 64, 200, 80));
}

TEST_F(InstallerGui, BrowseChoosesTheDestinationInTheToolkitsChooser) {
  // The edit box holds a path that does not exist yet: the chooser opens at
  // its nearest existing directory, and taking that one puts it in the box.
  const std::string chosen = Box / "chosen";
  fs::create_directories(chosen);
  const std::string installer = Box.Pack({{"Doc/Read me.txt", "browse\n"}},
                                         "--title 'Browse test' --dest " + Quote(chosen + "/not/yet"));
  const std::string shots = kShots + "/browse";
  const TResult run = RunWithKeys(installer, shots,
                                  {{"Browse test", "Alt+b"}, {"Choose the destination directory", "Return"},
                                   {"Browse test", "Return"}, {"Browse test", "Return", 2}});
  EXPECT_NE(run.Output.find("status=0"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("window not found"), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(chosen + "/Doc/Read me.txt"), "browse\n");
  EXPECT_FALSE(fs::exists(chosen + "/not")) << "the typed path was used, not the chosen one";
  const TImage dialog = ReadPng(shots + "/destination.png");
  ASSERT_TRUE(dialog.Valid());
  EXPECT_TRUE(HasDarkPixel(dialog, 320, 26, 375, 40));  // "Browse..."
}

TEST_F(InstallerGui, DestinationDialogTakesEnterAndEscape) {
  const std::string dest = Box / "exists";
  fs::create_directories(dest);
  const std::string installer =
      Box.Pack({{"Doc/Read me.txt", "dialog\n"}}, "--title 'Dialog test' --dest " + Quote(dest));

  const std::string shots = kShots + "/dialog";
  TResult run = RunWithKeys(installer, shots, {{"Dialog test", "Return"}, {"Dialog test", "Return", 2}});
  EXPECT_NE(run.Output.find("status=0"), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(dest + "/Doc/Read me.txt"), "dialog\n");
  const TImage dialog = ReadPng(shots + "/destination.png");
  ASSERT_TRUE(dialog.Valid());
  EXPECT_EQ(dialog.Width, 397);
  EXPECT_EQ(dialog.Height, 86);
  EXPECT_TRUE(HasDarkPixel(dialog, 18, 6, 132, 19));    // "Extract files to Directory:"
  EXPECT_TRUE(HasDarkPixel(dialog, 22, 26, 300, 40));   // the path in ePath
  EXPECT_TRUE(HasDarkPixel(dialog, 130, 58, 190, 75));  // "Ok"
  EXPECT_TRUE(fs::exists(shots + "/main-100.png"));

  fs::remove_all(dest + "/Doc");
  run = RunWithKeys(installer, kShots + "/escape", {{"Dialog test", "Escape"}});
  EXPECT_NE(run.Output.find("status=0"), std::string::npos) << run.Output;
  EXPECT_FALSE(fs::exists(dest + "/Doc")) << "written after Escape";
}

TEST_F(InstallerGui, CancelStopsTheExtractionAndTakesBackItsFiles) {
  std::map<std::string, std::string> files;
  for (int i = 1; i <= 12; ++i) files["lib/part-" + std::to_string(i) + ".bin"] = std::string(20000, char('a' + i));
  const std::string dest = Box / "cancel", hold = Box / "hold";
  fs::create_directories(dest);
  fs::create_directories(hold);
  Put(dest + "/older.txt", "mine");
  const std::string installer = Box.Pack(files, "--title 'Cancel test' --dest " + Quote(dest));
  // One worker, held before it puts its third file in place: Escape is
  // pressed while the extraction is known to be running, and taken at the
  // next file, whatever the machine's speed.
  const std::string env = "env LD_PRELOAD=" + Quote(HOLD_RENAME) + " HOLD_RENAME_DIR=" + Quote(hold) +
                          " HOLD_RENAME_AT=3 DECANTOR_UNZIP_WORKERS=1"
                          " ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\"";
  const std::string steps = SendKey({"Cancel test", "Return"}) + AwaitFile(hold + "/reached") +
                            SendKey({"Cancel test", "Escape"}) + "touch " + Quote(hold + "/release") + "; " +
                            SendKey({"Cancel test", "Return", 2});
  const std::string shots = kShots + "/cancel";
  const TResult run = RunSession(installer, shots, steps, env);
  EXPECT_NE(run.Output.find("status=1"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("window not found"), std::string::npos) << run.Output;
  EXPECT_TRUE(fs::exists(hold + "/reached")) << "the extraction never reached its third file";
  EXPECT_FALSE(fs::exists(dest + "/lib")) << "files of the cancelled run were left";
  EXPECT_EQ(Slurp(dest + "/older.txt"), "mine");
  EXPECT_TRUE(ReadPng(shots + "/box-1.png").Valid()) << "the cancel was not said";
}
