// The page buffer reads like a list of lines while keeping one block of
// content bytes.

#include <random>

#include <gtest/gtest.h>

#include <vellix/PageBuffer.h>

#include "canvas/ContentLines.h"
#include "writer/PdfNumber.h"

using Vellix::TPageBuffer;

TEST(PageBuffer, LinesAndContentAgree) {
  TPageBuffer buffer;
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(buffer.Content(), "");
  buffer.push_back("q");
  buffer.push_back("");
  // A line may itself hold escaped line ends (a TextOut string).
  buffer.push_back("(a\\\r\\\nb) Tj");
  std::string& open = buffer.OpenLine();
  open += "1 2 m";
  buffer.CloseLine();
  ASSERT_EQ(buffer.size(), 4u);
  EXPECT_EQ(buffer[0], "q");
  EXPECT_EQ(buffer[1], "");
  EXPECT_EQ(buffer[2], "(a\\\r\\\nb) Tj");
  EXPECT_EQ(buffer.back(), "1 2 m");
  EXPECT_EQ(buffer.Content(), "q\r\n\r\n(a\\\r\\\nb) Tj\r\n1 2 m\r\n");
  EXPECT_EQ(buffer.Lines(), (std::vector<std::string>{"q", "", "(a\\\r\\\nb) Tj", "1 2 m"}));
  EXPECT_EQ(buffer.end() - buffer.begin(), 4);
  EXPECT_EQ(*(buffer.begin() + 2), buffer[2]);

  buffer.clear();
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(buffer.Content(), "");
  buffer.push_back("Q");
  EXPECT_EQ(buffer.Lines(), std::vector<std::string>{"Q"});
}

// A copy holds the same lines and goes its own way; a buffer moved from is
// empty and can be written again; a line that holds a CR LF stays one line
// in the copy.
TEST(PageBuffer, CopiesAndMovesKeepTheLines) {
  TPageBuffer buffer;
  for (int i = 0; i < 2000; ++i) buffer.push_back("line " + std::to_string(i));
  buffer.push_back("a\r\nb");
  const std::vector<std::string> lines = buffer.Lines();

  TPageBuffer copy = buffer;
  EXPECT_EQ(copy.Lines(), lines);
  EXPECT_EQ(copy.Content(), buffer.Content());
  copy.push_back("only in the copy");
  buffer.push_back("only in the original");
  EXPECT_EQ(copy.back(), "only in the copy");
  EXPECT_EQ(buffer.back(), "only in the original");
  EXPECT_EQ(copy[2000], "a\r\nb");

  TPageBuffer assigned;
  assigned.push_back("old");
  assigned = copy;
  EXPECT_EQ(assigned.Lines(), copy.Lines());
  assigned = static_cast<const TPageBuffer&>(assigned);
  EXPECT_EQ(assigned.size(), copy.size());

  TPageBuffer moved = std::move(copy);
  EXPECT_EQ(moved.size(), lines.size() + 1);
  EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from buffer is empty
  EXPECT_EQ(copy.size(), 0u);
  EXPECT_EQ(copy.Content(), "");
  copy.push_back("again");
  EXPECT_EQ(copy.Lines(), std::vector<std::string>{"again"});
  moved = std::move(copy);
  EXPECT_EQ(moved.Lines(), std::vector<std::string>{"again"});
  EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move)
}

// Lines written in place (the drawing operations' path) and appended lines
// mix in one buffer; the room grows past what was asked for at first, and a
// number too long for the in-place forms still comes out whole.
TEST(PageBuffer, LinesWrittenInPlaceMixWithAppendedOnes) {
  TPageBuffer buffer;
  std::vector<std::string> expected;
  std::string content;
  const auto add = [&](const std::string& aLine) {
    expected.push_back(aLine);
    content += aLine + "\r\n";
  };
  for (int round = 0; round < 3; ++round) {
    {
      Vellix::Detail::TContentLines lines(buffer, 8);  // far too little: it grows
      for (int i = 0; i < 200; ++i) {
        lines.Number(i + 0.25L) << ' ';
        lines.Integer(-i) << " l";
        lines.EndLine();
        add(Vellix::FormatPdfNumber(i + 0.25L) + " " + std::to_string(-i) + " l");
      }
      lines.Number(1e40L);
      lines.EndLine();
      add(Vellix::FormatPdfNumber(1e40L));
      char* p = lines.Reserve(Vellix::NumberRoom + 8);
      p = lines.PutNumber(p, -1e300L);
      lines.Advance(lines.PutLineEnd(Vellix::Detail::TContentLines::Put(p, " w")));
      add(Vellix::FormatPdfNumber(-1e300L) + " w");
    }
    buffer.push_back("Q");
    add("Q");
  }
  EXPECT_EQ(buffer.Lines(), expected);
  EXPECT_EQ(buffer.Content(), content);
  EXPECT_GT(Vellix::FormatPdfNumber(-1e300L).size(), Vellix::NumberRoom);

  // A line copied from the buffer itself, while the block grows under it.
  for (int i = 0; i < 2000; ++i) buffer.push_back(buffer[0]);
  EXPECT_EQ(buffer.back(), expected[0]);
  EXPECT_EQ(buffer.size(), expected.size() + 2000);

  // A new page starts empty, whatever the block still holds.
  buffer.clear();
  { Vellix::Detail::TContentLines(buffer).Line("q"); }
  EXPECT_EQ(buffer.Content(), "q\r\n");
  EXPECT_EQ(buffer.Lines(), std::vector<std::string>{"q"});
}

// The lines are found when they are read: the same whether the buffer is
// read after every change or only at the end, with appended lines that hold
// line ends of every kind and in-place lines in between.
TEST(PageBuffer, LinesAreTheSameWhenEverReadAndWhenNever) {
  const std::vector<std::string> appended = {"q", "", "\r\n", "a\r\nb", "x\r", "\ny", "\r", "\n", "\n\r", "S\r\n"};
  std::mt19937 rng(7);
  TPageBuffer early, late;
  std::vector<std::string> expected;
  for (int step = 0; step < 3000; ++step) {
    if (rng() % 3 == 0) {
      const int count = int(rng() % 4);
      for (TPageBuffer* buffer : {&early, &late}) {
        Vellix::Detail::TContentLines lines(*buffer, 0);
        for (int i = 0; i < count; ++i) {
          lines.Integer(step) << " l";
          lines.EndLine();
        }
      }
      for (int i = 0; i < count; ++i) expected.push_back(std::to_string(step) + " l");
    } else {
      const std::string& line = appended[rng() % appended.size()];
      early.push_back(line);
      late.push_back(line);
      expected.push_back(line);
    }
    ASSERT_EQ(early.size(), expected.size()) << "step " << step;
    if (expected.empty()) continue;
    ASSERT_EQ(early.back(), expected.back()) << "step " << step;
    if (step % 97 == 0) {
      const size_t i = rng() % expected.size();
      ASSERT_EQ(early[i], expected[i]) << "step " << step;
    }
  }
  EXPECT_EQ(late.Lines(), expected);
  EXPECT_EQ(early.Lines(), expected);
  EXPECT_EQ(early.Content(), late.Content());
  early.clear();
  EXPECT_EQ(early.size(), 0u);
  early.push_back("a\r\nb");
  EXPECT_EQ(early.Lines(), std::vector<std::string>{"a\r\nb"});
}
