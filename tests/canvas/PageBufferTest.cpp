// The page buffer reads like a list of lines while keeping one block of
// content bytes.

#include <gtest/gtest.h>

#include <vellix/PageBuffer.h>

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
