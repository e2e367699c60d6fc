// Every golden document is written again and compared byte for byte with its
// expected file. With VELLIX_UPDATE_GOLDEN=1 the expected files are rewritten
// instead (scripts/update-golden.sh): only on purpose, never to make a red
// test green.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "golden/GoldenDocuments.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace VellixTest;
namespace fs = std::filesystem;

namespace {

bool Updating() {
  const char* update = std::getenv("VELLIX_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

std::string ExpectedPath(const std::string& aFileName) { return std::string(GOLDEN_DIR) + "/" + aFileName; }

// The example programs stamp the time of the run; the expected files carry the
// tests' fixed date in its place (same length, so no address moves).
std::string WithFixedDate(std::string aBytes) {
  static const std::regex date("/CreationDate\\(D:[0-9]{14}\\)");
  return std::regex_replace(aBytes, date, std::string("/CreationDate(D:") + FixedCreationDate + ")",
                            std::regex_constants::format_first_only);
}

// Where two documents first differ, with a little of each around it.
std::string FirstDifference(const std::string& aExpected, const std::string& aActual) {
  const auto mismatch = std::mismatch(aExpected.begin(), aExpected.end(), aActual.begin(), aActual.end());
  const size_t at = size_t(mismatch.first - aExpected.begin());
  const size_t from = at < 40 ? 0 : at - 40;
  std::ostringstream out;
  out << "sizes " << aExpected.size() << " (expected) and " << aActual.size() << ", first difference at byte " << at
      << "\nexpected: " << aExpected.substr(from, 80) << "\nactual:   " << aActual.substr(from, 80);
  return out.str();
}

void CheckAgainstGolden(const std::string& aFileName, const std::string& aActual) {
  const std::string expectedPath = ExpectedPath(aFileName);
  if (Updating()) {
    std::ofstream(expectedPath, std::ios::binary) << aActual;
    return;
  }
  ASSERT_TRUE(FileExists(expectedPath)) << expectedPath << " is missing; scripts/update-golden.sh writes it";
  const std::string expected = ReadFileBytes(expectedPath);
  EXPECT_TRUE(expected == aActual) << aFileName << ": " << FirstDifference(expected, aActual);
}

std::vector<std::pair<std::string, std::string>> Programs() {
  std::vector<std::pair<std::string, std::string>> programs;
  std::stringstream list(GOLDEN_PROGRAMS);
  for (std::string item; std::getline(list, item, ',');) {
    const size_t equals = item.find('=');
    if (equals != std::string::npos) programs.emplace_back(item.substr(0, equals), item.substr(equals + 1));
  }
  return programs;
}

}  // namespace

// Each program writes TOPIC.pdf (the demonstration its companions beside
// it); every file it writes has an expected file of the same name.
TEST(Golden, ExampleProgramsWriteTheExpectedBytes) {
  const auto programs = Programs();
  ASSERT_EQ(programs.size(), 10u);
  for (const auto& [topic, program] : programs) {
    TTempDir dir;
    const TRunResult run = RunProgram({program, dir.File(topic + ".pdf")});
    ASSERT_EQ(run.Status, 0) << topic << ": " << run.Err;
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(dir.Path())) written.push_back(entry.path().filename());
    std::sort(written.begin(), written.end());
    ASSERT_FALSE(written.empty()) << topic;
    for (const std::string& name : written) {
      SCOPED_TRACE(name);
      const std::string path = dir.File(name);
      EXPECT_EQ(QpdfCheck(path).Status, 0);
      CheckAgainstGolden(name, WithFixedDate(ReadFileBytes(path)));
    }
  }
}

TEST(Golden, OwnDocumentsWriteTheExpectedBytes) {
  TTempDir dir;
  for (const TGoldenDocument& document : GoldenDocuments()) {
    SCOPED_TRACE(document.Name);
    const std::string path = dir.File(document.Name + ".pdf");
    const std::string bytes = WriteDocument(path, document.Draw, document.Setup);
    EXPECT_EQ(ReadersComplaints(path), "");
    CheckAgainstGolden(document.Name + ".pdf", bytes);
  }
}

// The expected files and the documents above are the same set: a stale file
// left behind after a document was renamed would guard nothing.
TEST(Golden, EveryExpectedFileHasADocument) {
  if (Updating()) GTEST_SKIP() << "updating";
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(GOLDEN_DIR))
    if (entry.path().extension() == ".pdf") ++count;
  // Nine programs write thirteen files (the demonstration five).
  EXPECT_EQ(count, 15 + GoldenDocuments().size());
}
