// End-to-end runs of installers built by decantor-pack, on the console face
// with scripted answers, each in a private mount namespace whose /opt and
// /usr/local/lib are directories of the test.
#include <gtest/gtest.h>

#include <regex>

#include <cstring>

#include "InstallerRunSupport.h"

using namespace InstallerRun;

namespace {

const char kMarkScript[] =
    "#!/bin/sh\n"
    "out=\"$1\"; shift\n"
    "printf '%s\\n' \"$#\" \"$@\" > \"$out\"\n";

std::map<std::string, std::string> Payload() {
  return {{"Doc/Read me.txt", "read me\n"},
          {"%abc.so", "top percent file\n"},
          {"lib/%inner.so", "inner percent file\n"},
          {"bin/mark.sh*", kMarkScript},
          {"lib/libregmark.so", Slurp(REGMARK_LIB)}};
}

const std::string kFullRecord =
    "--title 'Test installer' --dest '{ProgramFiles}/Merovant/Test'"
    " --command '$/bin/mark.sh \"$/marker file\" second'"
    " --register '$/lib/libregmark.so'";

const char kNotComplete[] = "Extraction is not complete.\nDo you want to quit?";

int Occurrences(const std::string& aText, const std::string& aPart) {
  int count = 0;
  for (size_t pos = aText.find(aPart); pos != std::string::npos; pos = aText.find(aPart, pos + 1))
    ++count;
  return count;
}

// Rewrites the two offsets of a packaged installer's record.
void PatchOffsets(const std::string& aInstaller, int32_t aDll, int32_t aZip) {
  std::string bytes = Slurp(aInstaller);
  const size_t marker = bytes.find("#TNAVOREM#");
  ASSERT_NE(marker, std::string::npos);
  std::memcpy(&bytes[marker + 10], &aDll, 4);
  std::memcpy(&bytes[marker + 14], &aZip, 4);
  DecantorTest::WriteFile(aInstaller, bytes);
}

int32_t ZipOffsetOf(const std::string& aInstaller) {
  const std::string bytes = Slurp(aInstaller);
  int32_t offset = 0;
  std::memcpy(&offset, &bytes[bytes.find("#TNAVOREM#") + 14], 4);
  return offset;
}

class InstallerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CanUseMountNamespace()) GTEST_SKIP() << "needs root to make mount namespaces";
  }
  TSandbox Box;
};

}  // namespace

TEST_F(InstallerRun, InstallsMovesPercentFilesRegistersAndRunsTheCommand) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const TResult run = Box.Run(installer, "", "\ny\n");
  ASSERT_EQ(run.Status, 0) << run.Output;
  for (const char* text : {"[Test installer]", "Extract files to Directory:\n  /opt/Merovant/Test",
                           "Create directory: /opt/Merovant/Test ?", "Extracting Files...", "100%"})
    EXPECT_NE(run.Output.find(text), std::string::npos) << text << "\n" << run.Output;
  EXPECT_EQ(run.Output.find(kNotComplete), std::string::npos) << "asked after success";

  const std::string dest = Box.Opt() + "/Merovant/Test";
  EXPECT_EQ(Slurp(dest + "/Doc/Read me.txt"), "read me\n");
  EXPECT_EQ(Slurp(Box.SystemDir() + "/abc.so"), "top percent file\n");
  EXPECT_FALSE(fs::exists(dest + "/%abc.so"));
  EXPECT_EQ(Slurp(dest + "/lib/%inner.so"), "inner percent file\n");
  EXPECT_EQ(Listing(Box.SystemDir()), std::vector<std::string>{"abc.so"});
  EXPECT_EQ(Slurp(dest + "/lib/registration.log"), "UR");
  ASSERT_TRUE(WaitForFile(dest + "/marker file"));
  EXPECT_EQ(Slurp(dest + "/marker file"), "1\nsecond\n");
  EXPECT_TRUE(Listing(Box.Temp()).empty()) << "temporary files left";
}

TEST_F(InstallerRun, TypedDestinationLosesItsSlashAndCannotInjectCommands) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  // A destination full of shell syntax, with a final "/".
  const std::string typed = Box / "odd dir;touch PWNED $(touch PWNED2)/";
  const std::string dest = typed.substr(0, typed.size() - 1);
  const TResult run = Box.Run(installer, "", typed + "\ny\n", "cd " + Quote(Box.Root()));
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("Create directory: " + typed + " ?"), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(dest + "/lib/registration.log"), "UR");
  ASSERT_TRUE(WaitForFile(dest + "/marker file"));
  EXPECT_EQ(Slurp(dest + "/marker file"), "1\nsecond\n");
  usleep(100000);
  EXPECT_FALSE(fs::exists(Box / "PWNED"));
  EXPECT_FALSE(fs::exists(Box / "PWNED2"));
}

TEST_F(InstallerRun, BlankDestinationInstallsBesideTheInstallerWithoutAsking) {
  const std::string packed = Box.Pack({{"Doc/Read me.txt", "beside\n"}}, "--title Beside");
  fs::create_directories(Box / "media");
  const std::string installer = Box / "media/setup";
  fs::copy_file(packed, installer);
  fs::permissions(installer, fs::perms(0755));
  const TResult run = Box.Run(installer, "", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_EQ(run.Output.find("Extract files to Directory:"), std::string::npos);
  EXPECT_EQ(Slurp(Box / "media/Doc/Read me.txt"), "beside\n");
}

TEST_F(InstallerRun, ScriptedInstallAnswersItself) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const std::string dest = Box / "scripted";
  const TResult run = Box.Run(installer, "--dest " + Quote(dest) + " --yes --no-run", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("Create directory: " + dest + " ?\nYes"), std::string::npos)
      << run.Output;
  EXPECT_EQ(Slurp(dest + "/Doc/Read me.txt"), "read me\n");
  // The progress line names the file with its count; the end says where the files went.
  EXPECT_NE(run.Output.find("  3 of 8  Doc/Read me.txt\n"), std::string::npos) << run.Output;
  EXPECT_NE(run.Output.find("The files were installed in " + dest + ".\n"), std::string::npos) << run.Output;
  usleep(200000);
  EXPECT_FALSE(fs::exists(dest + "/marker file")) << "--no-run ran the command";
}

TEST_F(InstallerRun, LongDestinationIsUsedWhole) {
  // Past 255 characters a cut path would name another directory.
  const std::string dest = Box / (std::string(150, 'a') + "/" + std::string(150, 'b'));
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const TResult run = Box.Run(installer, "--dest " + Quote(dest) + " --yes --no-run", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_EQ(Slurp(dest + "/Doc/Read me.txt"), "read me\n");
  EXPECT_EQ(Slurp(dest + "/lib/registration.log"), "UR");
}

TEST_F(InstallerRun, AFileAsDestinationIsRefusedBeforeAnythingIsWritten) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const std::string file = Box / "a file";
  DecantorTest::WriteFile(file, "mine");
  // Unattended, the run stops with its reason and a failure status.
  TResult run = Box.Run(installer, "--dest " + Quote(file + "/sub") + " --yes --no-run", "");
  EXPECT_EQ(run.Status, 1) << run.Output;
  EXPECT_NE(run.Output.find("Not a directory: " + file), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("Create directory"), std::string::npos) << run.Output;
  // In the console the question comes again, and another place can be typed.
  const std::string other = Box / "elsewhere";
  run = Box.Run(installer, "--dest " + Quote(file) + " --no-run", other + "\ny\n");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("Not a directory: " + file), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(other + "/Doc/Read me.txt"), "read me\n");
  EXPECT_EQ(Slurp(file), "mine");
  EXPECT_TRUE(Listing(Box.Temp()).empty());
}

TEST_F(InstallerRun, CancellingTheDialogWritesNothing) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  // Ok on a missing directory, No to creating it, then the input ends: cancel.
  const TResult run = Box.Run(installer, "", "\nn\n");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_EQ(Occurrences(run.Output, "Create directory: /opt/Merovant/Test ?"), 1) << run.Output;
  EXPECT_EQ(Occurrences(run.Output, "Extract files to Directory:"), 2) << run.Output;
  EXPECT_TRUE(Listing(Box.Opt()).empty());
  EXPECT_TRUE(Listing(Box.SystemDir()).empty());
  EXPECT_TRUE(Listing(Box.Temp()).empty());
}

TEST_F(InstallerRun, CorruptArchiveFailsCleansUpAndAsksBeforeClosing) {
  std::string noise(120000, '\0');
  uint32_t state = 7;
  for (char& c : noise) c = char((state = state * 1103515245u + 12345u) >> 24);
  const std::string installer =
      Box.Pack({{"big.bin", noise}}, "--title Broken --dest '{ProgramFiles}/Broken'");
  std::string bytes = Slurp(installer);
  bytes[size_t(ZipOffsetOf(installer)) + 30 + 7 + 60000] ^= 0x5A;
  DecantorTest::WriteFile(installer, bytes);
  // Accept, create; after the error: No (stay), Enter (close again), Yes.
  const TResult run = Box.Run(installer, "", "\ny\nn\n\ny\n");
  EXPECT_EQ(run.Status, 1) << run.Output;
  EXPECT_NE(run.Output.find("[Broken] Error:\nError during extraction.\n"), std::string::npos)
      << run.Output;
  EXPECT_EQ(Occurrences(run.Output, kNotComplete), 2) << run.Output;
  EXPECT_TRUE(Listing(Box.Temp()).empty()) << "temporary files left";
  EXPECT_FALSE(fs::exists(Box.Opt() + "/Broken/big.bin")) << "damaged file left";
}

// A "%" name that is not one plain file is refused before anything is
// extracted, and the installer says why after its own message.
TEST_F(InstallerRun, PercentNamesThatLeaveTheSystemDirectoryAreRefused) {
  for (const char* name : {"%..", "%"}) {
    SCOPED_TRACE(name);
    const std::string installer =
        Box.Pack({{"Doc/Read me.txt", "read me\n"}, {name, "evil\n"}}, "--title Percent --dest '{ProgramFiles}/Percent'");
    const TResult run = Box.Run(installer, "--yes --no-run", "");
    EXPECT_EQ(run.Status, 1) << run.Output;
    EXPECT_NE(run.Output.find("Error during extraction.\nentry " + std::string(name) +
                              " is not a plain file name after its %"),
              std::string::npos)
        << run.Output;
    EXPECT_TRUE(Listing(Box.SystemDir()).empty());
    EXPECT_FALSE(fs::exists(fs::path(Box.SystemDir()).parent_path() / "%.."));
    EXPECT_FALSE(fs::exists(Box.Opt() + "/Percent/Doc/Read me.txt")) << "extracted before the check";
    EXPECT_TRUE(Listing(Box.Temp()).empty()) << "temporary files left";
  }
}

// An installer of an empty archive says that it installed nothing.
TEST_F(InstallerRun, EmptyArchiveInstallsNothingAndSaysSo) {
  const std::string installer = Box.Pack({}, "--title Empty --dest '{ProgramFiles}/Empty'");
  const TResult run = Box.Run(installer, "--yes --no-run", "");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("holds no files; nothing was installed"), std::string::npos) << run.Output;
  EXPECT_FALSE(fs::exists(Box.Opt() + "/Empty/anything"));
  EXPECT_TRUE(Listing(Box.Temp()).empty()) << "temporary files left";
}

TEST_F(InstallerRun, ReadOnlySystemDirectoryGivesTheTwoSentenceMessage) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const TResult run = Box.Run(installer, "--dest /opt/ro --yes", "",
                              "mount -o remount,bind,ro /usr/local/lib");
  EXPECT_EQ(run.Status, 1) << run.Output;
  EXPECT_NE(run.Output.find("Can't access to system directory.\nAdministrator rights are "
                            "necessary to achieve this operation.\n"),
            std::string::npos)
      << run.Output;
  EXPECT_TRUE(Listing(Box.Temp()).empty());
  // Said before extraction: nothing was written, nothing registered.
  EXPECT_FALSE(fs::exists(Box.Opt() + "/ro")) << "extracted before the check";
}

TEST_F(InstallerRun, ADiskTooSmallIsSaidBeforeAnythingIsWritten) {
  std::string noise(600000, '\0');
  uint32_t state = 11;
  for (char& c : noise) c = char((state = state * 1103515245u + 12345u) >> 24);
  const std::string installer = Box.Pack({{"Doc/Read me.txt", "read me\n"}, {"big.bin", noise}}, kFullRecord);
  // A small file system as the destination, in the run's own mount namespace.
  const TResult run = Box.Run(installer, "--dest /opt/small/app --yes --no-run", "",
                              "mkdir -p /opt/small && mount -t tmpfs -o size=256k tmpfs /opt/small && "
                              "echo before > /opt/small/kept");
  EXPECT_EQ(run.Status, 1) << run.Output;
  EXPECT_NE(run.Output.find("Error during extraction.\nnot enough space in /opt/small/app: 600008 bytes needed"),
            std::string::npos)
      << run.Output;
  EXPECT_TRUE(Listing(Box.Temp()).empty());
}

TEST_F(InstallerRun, ComponentWithoutTheExportOrUnloadableIsReported) {
  // The packer refuses a component without the export, so the carried copy's
  // export is renamed after packing.
  const std::string noExport = Box.Pack(Payload(), "--title T --dest /opt/x", "noexport");
  std::string bytes = Slurp(noExport);
  int32_t dll = 0;
  std::memcpy(&dll, &bytes[bytes.find("#TNAVOREM#") + 10], 4);
  const size_t zip = size_t(ZipOffsetOf(noExport));
  for (size_t pos = bytes.find("dunzip", size_t(dll)); pos < zip; pos = bytes.find("dunzip", pos))
    bytes.replace(pos, 6, "dunzap");
  DecantorTest::WriteFile(noExport, bytes);
  TResult run = Box.Run(noExport, "--yes", "");
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("Function not found in DLL : dunzip.\n"), std::string::npos)
      << run.Output;
  EXPECT_TRUE(Listing(Box.Temp()).empty());

  // A temporary directory mounted noexec: the copied component cannot be loaded.
  const std::string installer = Box.Pack(Payload(), "--title T --dest /opt/x");
  run = Box.Run(installer, "--yes", "", "mount -t tmpfs -o noexec tmpfs " + Quote(Box.Temp()));
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("Can't load : " + Box.Temp() + "/__"), std::string::npos)
      << run.Output;
  EXPECT_NE(run.Output.find("(file system mounted noexec)"), std::string::npos) << run.Output;
  EXPECT_FALSE(fs::exists(Box.Opt() + "/x/Doc"));
}

TEST_F(InstallerRun, OffsetsBreakingTheLayoutGiveACleanError) {
  const TResult bare = Box.Run(DECANTOR_STUB, "", "");
  EXPECT_EQ(bare.Status, 1);
  EXPECT_NE(bare.Output.find(std::string("File corrupted : ") + DECANTOR_STUB + ".\n"),
            std::string::npos)
      << bare.Output;

  const std::string installer = Box.Pack(Payload(), "--title T --dest /opt/x");
  const int32_t zip = ZipOffsetOf(installer);
  PatchOffsets(installer, zip, zip);  // an unzip component of no bytes
  const TResult run = Box.Run(installer, "--yes", "");
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Output.find("File corrupted : " + installer + ".\n"), std::string::npos)
      << run.Output;
  EXPECT_TRUE(Listing(Box.Temp()).empty());
}

// A record whose archive offset falls inside the unzip component passes the
// layout check; the stub must refuse the cut component instead of loading it
// (the loader would map pages past its end: SIGBUS), in both runs that load it.
TEST_F(InstallerRun, ComponentCutShortByADamagedRecordIsRefused) {
  const std::string installer = Box.Pack(Payload(), "--title T --dest /opt/x");
  const std::string bytes = Slurp(installer);
  int32_t dll = 0;
  std::memcpy(&dll, &bytes[bytes.find("#TNAVOREM#") + 10], 4);
  PatchOffsets(installer, dll, dll + 1000);
  for (const char* options : {"--yes", "--list"}) {
    SCOPED_TRACE(options);
    const TResult run = Box.Run(installer, options, "");
    EXPECT_EQ(run.Status, 1) << run.Output;
    EXPECT_NE(run.Output.find("File corrupted : " + installer), std::string::npos) << run.Output;
    EXPECT_TRUE(Listing(Box.Temp()).empty()) << "temporary files left";
  }
}

// Ctrl-C while the files are written stops like Cancel: what the run wrote
// is taken back, what was there before stays.
TEST(InstallerSignal, CtrlCWhileExtractingCancelsAndTakesBackTheFiles) {
  DecantorTest::TScratchDir scratch;
  std::map<std::string, std::string> tree;
  for (int i = 0; i < 20; ++i) tree["many/file-" + std::to_string(i) + ".bin"] = std::string(4096, char('a' + i));
  TSandbox box;
  const std::string installer = box.Pack(tree, "--title Many --dest /opt/many");
  const std::string dest = scratch / "dest", pid = scratch / "pid", out = scratch / "out", hold = scratch / "hold";
  fs::create_directories(dest);
  fs::create_directories(hold);
  DecantorTest::WriteFile(dest + "/older.txt", "mine");
  // One worker, held before it puts its third file in place (a preloaded
  // renameat): the interrupt comes while the extraction is known to run,
  // and is taken at the next file once the worker is let go.
  const std::string script =
      "env LD_PRELOAD=" + Quote(HOLD_RENAME) + " HOLD_RENAME_DIR=" + Quote(hold) +
      " HOLD_RENAME_AT=3 DECANTOR_UNZIP_WORKERS=1"
      " ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0\""
      " sh -c 'echo $$ > " + Quote(pid) + "; exec " + Quote(installer) + " --console --yes --no-run --dest " +
      Quote(dest) + "' > " + Quote(out) + " 2>&1 &\n"
      "for i in $(seq 1 300); do [ -e " + Quote(hold + "/reached") + " ] && break; sleep 0.1; done\n"
      "kill -INT $(cat " + Quote(pid) + "); touch " + Quote(hold + "/release") + "\n"
      "wait $!; echo status=$?";
  const TResult run = Shell("timeout 120 sh -c " + Quote(script));
  const std::string output = Slurp(out);
  EXPECT_TRUE(fs::exists(hold + "/reached")) << "the extraction never reached its third file\n" << output;
  EXPECT_NE(run.Output.find("status=1"), std::string::npos) << run.Output << output;
  EXPECT_NE(output.find("Extraction cancelled: nothing was installed."), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(dest + "/many")) << output;
  EXPECT_EQ(Slurp(dest + "/older.txt"), "mine");
}

// Stopped by a signal in the middle of a run, the installer leaves no
// temporary copy behind. The run is held still without any timing: it lists
// more names than a pipe holds into a pipe that nobody reads, so it blocks
// in the middle of the listing, its copies made, until the signal comes.
TEST(InstallerSignal, TerminatingARunRemovesTheTemporaryFiles) {
  DecantorTest::TScratchDir scratch;
  std::map<std::string, std::string> tree;
  for (int i = 0; i < 2500; ++i)
    tree["many/entry-" + std::to_string(10000 + i) + "-with-a-name-long-enough.txt"] = "x";
  TSandbox box;
  const std::string installer = box.Pack(tree, "--title Many --dest /opt/many");
  const std::string temp = scratch / "tmp", pid = scratch / "pid", sleeper = scratch / "sleeper";
  fs::create_directories(temp);
  const std::string script =
      "( sh -c 'echo $$ > " + Quote(pid) + "; exec env TMPDIR=" + Quote(temp) + " " + Quote(installer) +
      " --console --list' | sh -c 'echo $$ > " + Quote(sleeper) + "; exec sleep 120' ) > /dev/null 2>&1 &\n"
      "for i in $(seq 1 600); do [ -s " + Quote(pid) + " ] && [ $(ls -A " + Quote(temp) +
      " | wc -l) -eq 2 ] && break; sleep 0.05; done\n"
      "echo copies: $(ls -A " + Quote(temp) + " | wc -l)\n"
      "kill -TERM $(cat " + Quote(pid) + ")\n"
      "for i in $(seq 1 600); do kill -0 $(cat " + Quote(pid) + ") 2>/dev/null || break; sleep 0.05; done\n"
      "kill $(cat " + Quote(sleeper) + ") 2>/dev/null; echo left: $(ls -A " + Quote(temp) + " | wc -l)";
  const TResult run = Shell("timeout 120 sh -c " + Quote(script));
  EXPECT_NE(run.Output.find("copies: 2"), std::string::npos) << run.Output;
  EXPECT_NE(run.Output.find("left: 0"), std::string::npos) << run.Output;
}

TEST_F(InstallerRun, ListShowsTheCarriedFilesAndInstallsNothing) {
  const std::string installer = Box.Pack(Payload(), kFullRecord);
  const TResult run = Box.Run(installer, "--list", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  for (const char* name : {"Doc/Read me.txt\n", "%abc.so\n", "bin/mark.sh\n", "entries\n"})
    EXPECT_NE(run.Output.find(name), std::string::npos) << run.Output;
  EXPECT_TRUE(Listing(Box.Opt()).empty());
  EXPECT_TRUE(Listing(Box.Temp()).empty());
}

TEST_F(InstallerRun, LibraryInstallerInstallsAUsableLibrary) {
  const TResult run = Box.Run(VELLIX_SETUP, "--yes --no-run", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  const std::string dest = Box.Opt() + "/Merovant/Vellix Builder";
  EXPECT_NE(Slurp(dest + "/Doc/Read me.txt").find("Vellix Builder"), std::string::npos);
  EXPECT_TRUE(fs::exists(dest + "/include/Vellix.h"));
  EXPECT_TRUE(fs::exists(dest + "/include/vellix/Canvas.h"));
  EXPECT_FALSE(fs::exists(dest + "/include/vellix/PdfWriter.h"));
  EXPECT_TRUE(fs::exists(dest + "/lib/libvellix.a"));
  EXPECT_EQ(Slurp(dest + "/lib/libvellix.so"), "INPUT(libvellix.so.1)\n");
  EXPECT_TRUE(fs::exists(dest + "/src/pdf/CMakeLists.txt"));
  EXPECT_TRUE(Listing(Box.SystemDir()).empty());
  // Its stub is packed stripped: neither symbol table nor debug information,
  // though the dynamic symbols the window module calls are kept.
  const TResult sections = Shell("readelf -S -W " + Quote(VELLIX_SETUP));
  ASSERT_EQ(sections.Status, 0) << sections.Output;
  EXPECT_EQ(sections.Output.find(".debug_"), std::string::npos) << sections.Output;
  EXPECT_EQ(sections.Output.find(".symtab"), std::string::npos) << sections.Output;
  EXPECT_NE(sections.Output.find(".dynsym"), std::string::npos) << sections.Output;
#ifdef VELLIX_SANITIZED
  GTEST_SKIP() << "the sanitized library links only into sanitized programs";
#else
  // A program built against the installed tree writes a PDF.
  Put(Box / "app.cpp",
      "#include <Vellix.h>\n"
      "int main(int, char** argv) {\n"
      "  Vellix::TVellix pdf;\n"
      "  pdf.SetFileName(argv[1]);\n"
      "  pdf.BeginDoc();\n"
      "  pdf.EndDoc();\n"
      "}\n");
  const TResult built =
      Shell("g++ -std=c++20 " + Quote(Box / "app.cpp") + " -I" + Quote(dest + "/include") +
            " -L" + Quote(dest + "/lib") + " -lvellix -Wl,-rpath," + Quote(dest + "/lib") +
            " -o " + Quote(Box / "app") + " && " + Quote(Box / "app") + " " + Quote(Box / "out.pdf"));
  ASSERT_EQ(built.Status, 0) << built.Output;
  EXPECT_EQ(Slurp(Box / "out.pdf").rfind("%PDF-1.3", 0), 0u);
#endif
}

// The stub needs the C library alone, so it starts on any server; its
// windows are a module of their own that carries FLTK and needs only the X
// client libraries of a desktop.
TEST(InstallerStub, NeedsOnlyTheCLibraryAndCarriesItsWindowsAsAModule) {
#ifdef VELLIX_SANITIZED
  GTEST_SKIP() << "a sanitized stub needs the sanitizers' libraries too";
#else
  const TResult stub = Shell(std::string("readelf -d ") + Quote(DECANTOR_STUB) + " | grep NEEDED");
  ASSERT_EQ(stub.Status, 0) << stub.Output;
  const std::regex library(R"(\[([^\]]+)\])");
  int count = 0;
  for (std::sregex_iterator it(stub.Output.begin(), stub.Output.end(), library), end; it != end; ++it, ++count) {
    const std::string name = (*it)[1];
    EXPECT_TRUE(name == "libc.so.6" || name == "libm.so.6" || name == "libdl.so.2" || name == "libpthread.so.0" ||
                name.rfind("ld-linux", 0) == 0)
        << name;
  }
  EXPECT_GT(count, 0);
  const TResult module = Shell(std::string("readelf -d ") + Quote(DECANTOR_WINDOW) + " | grep NEEDED");
  EXPECT_NE(module.Output.find("libX11"), std::string::npos) << module.Output;
  EXPECT_EQ(module.Output.find("libfltk"), std::string::npos) << module.Output;
  EXPECT_EQ(module.Output.find("libstdc++"), std::string::npos) << module.Output;
#endif
}

// On a machine without the X libraries, an installer that would show its
// windows says in one line why it cannot and installs on the console.
TEST_F(InstallerRun, WithoutTheXLibrariesItSaysSoAndInstallsOnTheConsole) {
#ifdef VELLIX_SANITIZED
  GTEST_SKIP() << "a sanitized stub needs the sanitizers' libraries from the folder this test empties";
#endif
  const std::string installer = Box.Pack({{"Doc/Read me.txt", "read me\n"}}, "--title 'No X' --dest /opt/NoX");
  const std::string libs = Box / "libs";
  // The system's library folder holds the C library and nothing else.
  const std::string setup = "mkdir -p " + Quote(libs) +
                            "; for l in libc.so.6 libm.so.6 ld-linux-x86-64.so.2; do cp /usr/lib/x86_64-linux-gnu/$l " +
                            Quote(libs) + "; done; mount --bind " + Quote(libs) +
                            " /usr/lib/x86_64-linux-gnu; export DISPLAY=:97";
  const TResult run = Box.Run(installer, "--yes --no-run", "", setup, "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("no windows ("), std::string::npos) << run.Output;
  EXPECT_NE(run.Output.find("cannot open shared object file"), std::string::npos) << run.Output;
  EXPECT_NE(run.Output.find("): working on the console\n"), std::string::npos) << run.Output;
  EXPECT_EQ(Slurp(Box.Opt() + "/NoX/Doc/Read me.txt"), "read me\n");
}

// Without a display the module is not even loaded; an installer packed
// without a module works on the console too.
TEST_F(InstallerRun, WithoutADisplayOrAModuleItInstallsOnTheConsole) {
  const std::string installer = Box.Pack({{"Doc/Read me.txt", "read me\n"}}, "--title 'No display' --dest /opt/ND");
  TResult run = Box.Run(installer, "--yes --no-run", "", "unset DISPLAY", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("no windows (no display): working on the console\n"), std::string::npos) << run.Output;
  run = Box.Run(installer, "--yes --no-run --gui", "", "unset DISPLAY", "");
  EXPECT_EQ(run.Status, 2) << run.Output;
  EXPECT_NE(run.Output.find("--gui needs windows, and they cannot be shown: no display"), std::string::npos)
      << run.Output;

  const std::string tree = Box / "bare-tree";
  fs::create_directories(tree);
  DecantorTest::WriteFile(tree + "/a.txt", "a\n");
  const std::string bare = Box / "bare-setup";
  const TResult packed = Shell(std::string(DECANTOR_PACK) + " --stub " + Quote(DECANTOR_STUB) + " --unzip " +
                               Quote(DUNZIP_PATH) + " --folder " + Quote(tree) + " --output " + Quote(bare) +
                               " --dest /opt/Bare");
  ASSERT_EQ(packed.Status, 0) << packed.Output;
  run = Box.Run(bare, "--yes --no-run", "", "export DISPLAY=:97", "");
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("no windows (this installer carries no window module)"), std::string::npos)
      << run.Output;
  EXPECT_EQ(Slurp(Box.Opt() + "/Bare/a.txt"), "a\n");
}
