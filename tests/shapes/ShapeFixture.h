#pragma once
// A document open on an A4 page in tenths of a millimetre (2100 x 2970), and
// helpers to read back what one drawing call appended to the page buffer.
// Every document that ends normally is given to qpdf and pdftotext, and its
// content streams to the content checker.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <vellix/Canvas.h>
#include <vellix/Document.h>
#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

namespace Vellix::ShapeTests {

class ShapeTest : public ::testing::Test {
protected:
  void SetUp() override { Begin(luTenth); }
  void TearDown() override { End(); }
  // Ends the open document, if any, and checks the file.
  void End() {
    if (!Doc.Printing()) return;
    Doc.EndDoc();
    ExpectReadable();
  }
  void ExpectReadable() {
    EXPECT_EQ(VellixTest::ReadersComplaints(Path), "");
    EXPECT_EQ(VellixTest::CheckPdfContents(Path), std::vector<std::string>{});
  }
  // Starts a fresh document in aUnit, with a pen and brush reset to their
  // defaults (the canvas keeps them across documents).
  void Begin(TLengthUnit aUnit) {
    End();
    Path = Dir.File("shapes" + std::to_string(++FCount) + ".pdf");
    Doc.SetFileName(Path);
    Doc.SetCreationDate(VellixTest::FixedCreationDate);
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

  VellixTest::TTempDir Dir;
  TVellix Doc;
  std::string Path;

private:
  int FCount = 0;
};

}  // namespace Vellix::ShapeTests
