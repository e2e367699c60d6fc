#include "Packager.h"

#include "ElfImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unzip.h>

#include <cstdio>
#include <filesystem>

#include "TestSupport.h"
#include "ZipFolder.h"

using namespace Decantor;
using DecantorTest::ReadFile;
using DecantorTest::TScratchDir;
using DecantorTest::WriteFile;

namespace {

std::string Shell(const std::string& aCommand, int* aStatus = nullptr) {
  std::string out;
  std::FILE* pipe = popen(aCommand.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  int status = pclose(pipe);
  if (aStatus) *aStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

std::string Hex(const std::string& aBytes) {
  std::string hex;
  char buf[3];
  for (unsigned char c : aBytes) {
    std::snprintf(buf, sizeof buf, "%02x", c);
    hex += buf;
  }
  return hex;
}

std::vector<std::string> ZipEntries(const std::string& aPath) {
  std::vector<std::string> names;
  unzFile zip = unzOpen64(aPath.c_str());
  if (!zip) return names;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    char name[256];
    unzGetCurrentFileInfo64(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0);
    names.push_back(name);
  }
  unzClose(zip);
  return names;
}

std::vector<std::string> DirNames(const std::string& aDir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(aDir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Pack : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(mkdir((Dir / "content").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((Dir / "content/Doc").c_str(), 0755), 0);
    WriteFile(Dir / "content/Doc/Read me.txt", "Read me\r\n");
    WriteFile(Dir / "content/%abc.dll", std::string(3000, 'a'));
    ZipFolder(Dir / "content", Dir / "pieces.zip");
    Input.StubPath = PROBE_STUB;
    Input.UnzipPath = COMPONENT_LIB;
    Input.ArchivePath = Dir / "pieces.zip";
    Input.OutputPath = Dir / "out/installer";
    Input.Title = "Vellix Builder for Delphi version 1.4";
    Input.DestDir = ExpandProgramFilesToken("{ProgramFiles}/Merovant/Vellix Builder for Delphi");
    Input.RunCommand = "Notepad.exe $/Doc/Read me.txt";
    ASSERT_EQ(mkdir((Dir / "out").c_str(), 0755), 0);
  }

  // PackInstaller fails with a message containing aWords and leaves nothing in out/.
  void ExpectRefused(const std::string& aWords) {
    try {
      PackInstaller(Input);
      ADD_FAILURE() << "packaged without complaint";
    } catch (const EPackError& e) {
      EXPECT_NE(std::string(e.what()).find(aWords), std::string::npos) << e.what();
    }
    EXPECT_TRUE(DirNames(Dir / "out").empty());
  }

  TScratchDir Dir;
  TPackInput Input;
};

}  // namespace

TEST_F(Pack, RecordReadBackByteForByte) {
  PackInstaller(Input);
  std::string stub = ReadFile(PROBE_STUB);
  std::string component = ReadFile(COMPONENT_LIB);
  std::string archive = ReadFile(Dir / "pieces.zip");
  std::string out = ReadFile(Input.OutputPath);
  ASSERT_EQ(out.size(), stub.size() + component.size() + archive.size());
  std::vector<std::size_t> at = FindConfigRecords(stub);
  ASSERT_EQ(at.size(), 1u);
  ASSERT_EQ(FindConfigRecords(out.substr(0, stub.size())), at);

  std::string record = out.substr(at[0], kConfigRecordSize);
  std::string expected = "\xFF#TNAVOREM#";
  uint8_t offsets[8];
  WriteLE32(offsets, static_cast<int32_t>(stub.size()));
  WriteLE32(offsets + 4, static_cast<int32_t>(stub.size() + component.size()));
  expected.append(reinterpret_cast<char*>(offsets), 8);
  expected += "Vellix Builder for Delphi version 1.4" + std::string(12, ' ');
  expected += "\xA7/Merovant/Vellix Builder for Delphi" + std::string(13, ' ');
  expected += "Notepad.exe $/Doc/Read me.txt" + std::string(20, ' ');
  expected += std::string(49, ' ');
  expected += std::string(41, ' ');
  ASSERT_EQ(expected.size(), kConfigRecordSize);
  EXPECT_EQ(Hex(record), Hex(expected));

  // Nothing but the record changed in the stub; the pieces follow byte for byte.
  std::string patched = stub;
  patched.replace(at[0], kConfigRecordSize, expected);
  EXPECT_TRUE(out.compare(0, stub.size(), patched) == 0);
  EXPECT_TRUE(out.compare(stub.size(), component.size(), component) == 0);
  EXPECT_TRUE(out.compare(stub.size() + component.size(), std::string::npos, archive) == 0);

  // The archive copied out on its own is a valid archive.
  WriteFile(Dir / "copied.zip", out.substr(stub.size() + component.size()));
  EXPECT_EQ(ZipEntries(Dir / "copied.zip"),
            (std::vector<std::string>{"%abc.dll", "Doc/", "Doc/Read me.txt"}));

  struct stat st{};
  ASSERT_EQ(stat(Input.OutputPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(DirNames(Dir / "out"), std::vector<std::string>{"installer"});
}

TEST_F(Pack, PackagedStubReadsItsRecordInPlace) {
  std::string before = Shell(PROBE_STUB);
  EXPECT_EQ(before.substr(before.find('\n') + 1), "0\n0\n\n\n\n\n");

  Input.RegisterFile = "$/Bin/server.so";
  PackInstaller(Input);
  std::string lines = Shell(Input.OutputPath);
  std::string out = ReadFile(Input.OutputPath);
  std::size_t at = FindConfigRecords(out)[0];
  std::size_t stubSize = ReadFile(PROBE_STUB).size();
  std::size_t zipOffset = out.size() - ReadFile(Dir / "pieces.zip").size();
  EXPECT_EQ(lines, Hex(out.substr(at, kConfigRecordSize)) + "\n" + std::to_string(stubSize) +
                       "\n" + std::to_string(zipOffset) +
                       "\nVellix Builder for Delphi version 1.4\n"
                       "\xA7/Merovant/Vellix Builder for Delphi\n"
                       "Notepad.exe $/Doc/Read me.txt\n$/Bin/server.so\n");
}

TEST_F(Pack, FullLengthTextsAreKeptWhole) {
  Input.Title = std::string(48, 'T') + "!";
  Input.RegisterFile = std::string(49, 'r');
  PackInstaller(Input);
  std::string out = ReadFile(Input.OutputPath);
  TConfigValues values =
      DecodeConfigRecord(reinterpret_cast<const uint8_t*>(out.data()) + FindConfigRecords(out)[0]);
  EXPECT_EQ(values.Title, Input.Title);
  EXPECT_EQ(values.RegisterFile, Input.RegisterFile);
}

TEST_F(Pack, RefusesStubWithoutRecord) {
  Input.StubPath = COMPONENT_LIB;
  ExpectRefused("holds no configuration record");
}

TEST_F(Pack, RefusesStubWithTwoRecords) {
  std::string stub = ReadFile(PROBE_STUB);
  WriteFile(Dir / "double", stub + stub);
  Input.StubPath = Dir / "double";
  ExpectRefused("holds 2 configuration records");
}

TEST_F(Pack, RefusesPackagedInstallerAsStub) {
  PackInstaller(Input);
  std::rename(Input.OutputPath.c_str(), (Dir / "packaged").c_str());
  Input.StubPath = Dir / "packaged";
  ExpectRefused("already a packaged installer");
}

TEST_F(Pack, RefusesEmptyComponent) {
  WriteFile(Dir / "empty.so", "");
  Input.UnzipPath = Dir / "empty.so";
  ExpectRefused("is empty");
}

TEST_F(Pack, AcceptsTheRealUnzipComponent) {
  Input.UnzipPath = DUNZIP_COMPONENT;
  PackInstaller(Input);
  EXPECT_EQ(DirNames(Dir / "out"), std::vector<std::string>{"installer"});
}

TEST_F(Pack, RefusesComponentWithoutEntryPoint) {
  Input.UnzipPath = NO_DUNZIP_LIB;
  ExpectRefused("does not export dunzip");
  Input.UnzipPath = PROBE_STUB;  // a program
  ExpectRefused("does not export dunzip");
  Input.UnzipPath = Dir / "content/Doc/Read me.txt";
  ExpectRefused("is not a shared library");
}

// The window module lies between the unzip component and the archive, where
// the component's ELF file ends; the record's offsets still name those two.
TEST_F(Pack, PlacesTheWindowModuleAfterTheComponentAndChecksIt) {
  Input.UnzipPath = DUNZIP_COMPONENT;
  Input.WindowPath = WINDOW_MODULE;
  PackInstaller(Input);
  const std::string installer = ReadFile(Dir / "out/installer");
  const std::string unzip = ReadFile(DUNZIP_COMPONENT), window = ReadFile(WINDOW_MODULE);
  const size_t record = installer.find("#TNAVOREM#") - 1;
  const auto* bytes = reinterpret_cast<const uint8_t*>(installer.data()) + record;
  const int32_t dll = ReadLE32(bytes + kConfigDllOffset), zip = ReadLE32(bytes + kConfigZipOffset);
  EXPECT_EQ(size_t(zip - dll), unzip.size() + window.size());
  EXPECT_EQ(installer.substr(size_t(dll), unzip.size()), unzip);
  EXPECT_EQ(installer.substr(size_t(dll) + unzip.size(), window.size()), window);
  EXPECT_EQ(ElfFileEnd(reinterpret_cast<const uint8_t*>(installer.data()) + dll, uint64_t(zip - dll)),
            unzip.size());
  std::remove((Dir / "out/installer").c_str());

  Input.WindowPath = Dir / "content/Doc/Read me.txt";
  ExpectRefused("window module");
  Input.WindowPath = DUNZIP_COMPONENT;  // a library without the window entry
  ExpectRefused("does not export decantor_window_face");
  // A component with bytes after its ELF file would hide where the module starts.
  WriteFile(Dir / "padded.so", unzip + "trailing");
  Input.UnzipPath = Dir / "padded.so";
  Input.WindowPath = WINDOW_MODULE;
  ExpectRefused("has bytes past its ELF file");
}

TEST_F(Pack, RefusesComponentAfterArchive) {
  std::swap(Input.UnzipPath, Input.ArchivePath);
  ExpectRefused("are they swapped?");
}

TEST_F(Pack, RefusesBadArchiveAndTexts) {
  WriteFile(Dir / "empty.zip", "");
  Input.ArchivePath = Dir / "empty.zip";
  ExpectRefused("is empty");
  Input.ArchivePath = Dir / "content/Doc/Read me.txt";
  ExpectRefused("is not a zip archive");
  Input.ArchivePath = Dir / "pieces.zip";
  Input.RunCommand = std::string(50, 'c');
  ExpectRefused("command is 50 characters long");
  Input.RunCommand = "";
  Input.Title = "ends with space ";
  ExpectRefused("title must not begin or end");
  Input.Title = "";
  Input.StubPath = Dir / "missing";
  ExpectRefused("stub");
}

// A zip archive without entries (its end record alone, here with a comment)
// packs; one whose end record is damaged does not.
TEST_F(Pack, AcceptsAnEmptyArchive) {
  std::string empty("PK\x05\x06", 4);
  empty += std::string(16, '\0') + std::string("\x03\0abc", 5);
  WriteFile(Dir / "nothing.zip", empty);
  Input.ArchivePath = Dir / "nothing.zip";
  EXPECT_TRUE(IsEmptyZipArchive(Input.ArchivePath));
  PackInstaller(Input);
  EXPECT_EQ(DirNames(Dir / "out"), std::vector<std::string>{"installer"});
  std::filesystem::remove(Input.OutputPath);
  empty[8] = 1;  // one entry promised, none there
  WriteFile(Dir / "nothing.zip", empty);
  EXPECT_FALSE(IsEmptyZipArchive(Input.ArchivePath));
  ExpectRefused("is not a zip archive");
}

TEST_F(Pack, CommandLineTool) {
  int status = -1;
  std::string tool = PACK_TOOL;
  std::string common = tool + " --stub '" + PROBE_STUB + "' --unzip '" + COMPONENT_LIB + "'";
  Shell(common + " --folder '" + (Dir / "content") + "' --output '" + Input.OutputPath +
          "' --title 'Tool made' --dest '{ProgramFiles}/App' 2>&1",
      &status);
  EXPECT_EQ(status, 0);
  std::string lines = Shell(Input.OutputPath);
  EXPECT_NE(lines.find("\nTool made\n\xA7/App\n\n\n"), std::string::npos) << lines;
  EXPECT_EQ(DirNames(Dir / "out"), std::vector<std::string>{"installer"});

  std::string message = Shell(common + " --archive '" + (Dir / "pieces.zip") + "' --output '" +
                                (Dir / "out/second") + "' --title '" + std::string(50, 'x') +
                                "' 2>&1",
                            &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(message, "decantor-pack: title is 50 characters long; at most 49 fit\n");
  EXPECT_EQ(DirNames(Dir / "out"), std::vector<std::string>{"installer"});

  Shell(tool + " --stub x 2>/dev/null", &status);
  EXPECT_EQ(status, 2);
}
