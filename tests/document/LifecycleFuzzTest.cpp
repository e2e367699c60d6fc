// Random sequences of lifecycle calls, property changes and drawing: the
// component never crashes, its state follows the rules, and every document
// that reaches EndDoc is structurally sound.

#include <gtest/gtest.h>

#include <random>

#include "support/ContentChecker.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

TEST(LifecycleFuzz, RandomCallSequences) {
  std::mt19937 random(4711);
  TMemoryStream stream;
  TVellix doc;
  doc.SetOutStream(&stream);
  int completed = 0;
  for (int step = 0; step < 4000; ++step) {
    const bool wasPrinting = doc.Printing();
    const bool wasAborted = doc.Aborted();
    try {
      switch (random() % 9) {
        case 0:
          stream.Clear();
          doc.BeginDoc();
          EXPECT_TRUE(doc.Printing());
          EXPECT_EQ(doc.PageNumber(), 1);
          break;
        case 1:
        case 2:
          doc.NewPage();
          break;
        case 3:
          doc.EndDoc();
          if (wasPrinting) {
            ++completed;
            const std::string bytes = stream.DataString();
            ASSERT_TRUE(CheckXref(bytes).empty());
            ASSERT_TRUE(CheckPdfContents(bytes).empty());
          }
          break;
        case 4:
          if (random() % 4 == 0) doc.Abort();
          break;
        case 5:
          doc.SetLengthUnit(random() % 2 ? luPoint : luTenth);
          break;
        case 6:
          doc.SetPaperSize(int32_t(random() % 45));
          break;
        case 7:
          doc.SetOrientation(random() % 2 ? poLandscape : poPortrait);
          break;
        default:
          if (doc.Canvas().CheckDocumentState()) {
            int32_t x1 = int32_t(random() % 50), y1 = int32_t(random() % 50), x2 = int32_t(random() % 50),
                    y2 = int32_t(random() % 50);
            doc.Canvas().CheckRectangle(x1, y1, x2, y2);
            doc.Canvas().AddLine(FormatPdfNumber(doc.Canvas().UnitToPoint(x1)) + " " +
                                 FormatPdfNumber(doc.Canvas().YToPoint(y1)) + " m");
          }
          break;
      }
    } catch (const Exception&) {
      // Every error ends an open document through the error rule.
      EXPECT_FALSE(doc.Printing());
      if (wasPrinting) EXPECT_TRUE(doc.Aborted());
      else EXPECT_EQ(doc.Aborted(), wasAborted);
    }
    EXPECT_FALSE(doc.Printing() && doc.Aborted());
  }
  EXPECT_GT(completed, 10);
}
