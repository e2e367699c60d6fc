// The shared content checker must itself catch what it claims to.

#include <gtest/gtest.h>

#include "support/ContentChecker.h"

using namespace VellixTest;

TEST(ContentChecker, AcceptsSoundContent) {
  EXPECT_TRUE(CheckContent("q\r\n1 0 0 1 0 0 cm\r\n/Im0 Do\r\nQ\r\nBT\r\n/F0 12 Tf\r\n1 0 0 rg\r\n10 20 Td\r\n(a \\) b) Tj\r\nET\r\n"
                           "[]0 d\r\n[3 3]0 d\r\n1 w\r\n0 0 m 1 1 l S\r\n1 2 3 4 re B\r\n")
                  .empty());
}

TEST(ContentChecker, FindsFaults) {
  EXPECT_FALSE(CheckContent("BT\r\n").empty());
  EXPECT_FALSE(CheckContent("ET\r\n").empty());
  EXPECT_FALSE(CheckContent("BT BT ET ET").empty());
  EXPECT_FALSE(CheckContent("Q").empty());
  EXPECT_FALSE(CheckContent("q").empty());
  EXPECT_FALSE(CheckContent("(x) Tj").empty());
  EXPECT_FALSE(CheckContent("BT 0 0 m ET").empty());
  EXPECT_TRUE(CheckContent("1 2 l").empty());
  EXPECT_FALSE(CheckContent("1 l").empty());
  EXPECT_FALSE(CheckContent("1 0 rg").empty());
  EXPECT_FALSE(CheckContent("1 2 xx").empty());
  EXPECT_FALSE(CheckContent("BT (unterminated Tj ET").empty());
  EXPECT_FALSE(CheckContent("1 2").empty());
}
