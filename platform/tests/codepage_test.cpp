#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, ChineseRoundTripsThroughGbk) {
  std::string gbk = ToCodePage("中文 abc");
  EXPECT_EQ(gbk, "\xD6\xD0\xCE\xC4 abc");
  EXPECT_EQ(FromCodePage(gbk), "中文 abc");
  EXPECT_EQ(ToCodePage("€"), "\x80");  // the code page's own euro sign
}

TEST(CodePage, UnmappableAndInvalidBecomeQuestionMarks) {
  EXPECT_EQ(ToCodePage("a😀b"), "a?b");
  EXPECT_EQ(ToCodePage("a\xFF" "b"), "a?b");
  EXPECT_EQ(ToCodePage("中\xE4\xB8"), "\xD6\xD0?");  // cut UTF-8 sequence at the end
  EXPECT_EQ(FromCodePage("a\x81"), "a?");            // lead byte without trail byte
  EXPECT_EQ(FromCodePage("\xFF" "b"), "?b");
}

TEST(CodePage, ByteLimitCutsBetweenCharacters) {
  EXPECT_EQ(ToCodePage("中文", 3), "\xD6\xD0");
  EXPECT_EQ(ToCodePage("a中", 2), "a");
  EXPECT_EQ(ToCodePage("a中", 3), "a\xD6\xD0");
  EXPECT_EQ(ToCodePage("中文", 0), "");
  std::string long_text(300, 'x');
  EXPECT_EQ(ToCodePage(long_text, 259).size(), 259u);
}

TEST(CodePage, Utf16LittleEndianBothWays) {
  std::string utf16("\x2D\x4E" "A\0" "\x3D\xD8\x00\xDE", 8);  // 中 A 😀
  EXPECT_EQ(Utf16LeToUtf8(utf16), "中A😀");
  EXPECT_EQ(Utf8ToUtf16Le("中A😀"), utf16);
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xD8" "A", 3)), "\xEF\xBF\xBD\xEF\xBF\xBD");  // lone surrogate, odd byte
}

TEST(CodePage, CodePointCounting) {
  EXPECT_EQ(CountCodePoints("中a😀"), 3u);
  EXPECT_EQ(TruncateCodePoints("中a😀b", 3), "中a😀");
  EXPECT_EQ(TruncateCodePoints("ab", 5), "ab");
}
