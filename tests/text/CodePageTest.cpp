#include <gtest/gtest.h>

#include <vellix/CodePage.h>

using namespace Vellix;

TEST(CodePage, Utf8ToAnsiMapsTheCodePageAndReplacesTheRest) {
  EXPECT_EQ(Utf8ToAnsi("plain ASCII ()\\"), "plain ASCII ()\\");
  EXPECT_EQ(Utf8ToAnsi("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");          // été
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC 5"), "\x80 5");                 // euro sign
  EXPECT_EQ(Utf8ToAnsi("it\xE2\x80\x99s"), "it\x92s");               // right single quote
  EXPECT_EQ(Utf8ToAnsi("\xC5\xB8\xC2\xA0"), "\x9F\xA0");             // Ÿ, no-break space
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xF0\x9F\x98\x80!"), "??" "!");   // CJK, emoji: one "?" each
  EXPECT_EQ(Utf8ToAnsi("\xC2\x81"), "\x81");                         // undefined slot keeps its C1 value
}

TEST(CodePage, MalformedUtf8BecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\x80z"), "a?z");             // stray continuation
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");               // truncated at the end
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");            // overlong
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(Utf8ToAnsi("\xF5\x80\x80\x80"), "????");  // beyond U+10FFFF
}

TEST(CodePage, EveryAnsiCharacterRoundTrips) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += char(c);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(UnicodeToAnsi(0x20AC), 0x80);
  EXPECT_EQ(UnicodeToAnsi(0x0100), -1);
}
