#pragma once
// A document open on an A4 page in tenths of a millimetre (2100 x 2970), and
// helpers to read back what one drawing call appended to the page buffer.
// Every document that ends normally is checked with qpdf.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "canvas/PdfCanvas.h"
#include "document/Vellix.h"

namespace Vellix::ShapeTests {

// Runs a shell command; returns its exit status and, in aOutput, its standard
// output.
inline int RunCommand(const std::string& aCommand, std::string* aOutput = nullptr) {
  FILE* pipe = popen(aCommand.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    if (aOutput) aOutput->append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline int QpdfCheck(const std::string& aPath) { return RunCommand("qpdf --check '" + aPath + "' >/dev/null 2>&1"); }

inline std::string TempPdf(const std::string& aStem) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = aStem + "-" + info->test_suite_name() + "-" + info->name() + ".pdf";
  for (char& ch : name)
    if (ch == '/') ch = '_';
  return (std::filesystem::path(::testing::TempDir()) / name).string();
}

class ShapeTest : public ::testing::Test {
protected:
  void SetUp() override { Begin(luTenth); }
  void TearDown() override {
    if (Doc.Printing()) {
      Doc.EndDoc();
      EXPECT_EQ(QpdfCheck(Path), 0) << Path;
    }
    std::filesystem::remove(Path);
  }
  // Starts a fresh document in aUnit, with a pen and brush reset to their
  // defaults (the canvas keeps them across documents).
  void Begin(TLengthUnit aUnit) {
    if (Doc.Printing()) Doc.EndDoc();
    Path = TempPdf("shapes");
    Doc.SetFileName(Path);
    Doc.SetCreationDate("20260101120000");
    Doc.SetLengthUnit(aUnit);
    Doc.BeginDoc();
    Canvas().Pen() = TPen();
    Canvas().Brush() = TBrush();
  }
  TPdfCanvas& Canvas() { return Doc.Canvas(); }
  // The lines that aDraw appended to the page buffer.
  std::vector<std::string> Drawn(const std::function<void()>& aDraw) {
    const size_t before = Canvas().PdfStream().size();
    aDraw();
    const auto& all = Canvas().PdfStream();
    return {all.begin() + std::ptrdiff_t(before), all.end()};
  }
  // aDraw must fail with exactly aMessage, leaving the document aborted; a
  // later drawing call must then do nothing.
  void ExpectAborts(const std::function<void()>& aDraw, const std::string& aMessage) {
    try {
      aDraw();
      ADD_FAILURE() << "no error, expected: " << aMessage;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), aMessage);
    }
    EXPECT_TRUE(Doc.Aborted());
    EXPECT_FALSE(Doc.Printing());
    EXPECT_TRUE(Drawn([&] {
                  Canvas().Rectangle(0, 0, 10, 10);
                  aDraw();
                }).empty());
  }

  TVellix Doc;
  std::string Path;
};

}  // namespace Vellix::ShapeTests
