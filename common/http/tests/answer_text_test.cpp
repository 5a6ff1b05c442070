// The header searches, header merging, body decoding and the body buffer, without a network.

#include <gtest/gtest.h>

#include "common/http/body_text.h"
#include "common/http/header_text.h"
#include "common/http/response_buffer.h"
#include "common/http/transfer.h"
#include "platform/codepage.h"

namespace http {
namespace {

TEST(HeaderSearch, CharsetIsTheFirstUsableMatchInAnyCase) {
  EXPECT_EQ(FindCharset("Content-Type: text/xml; CHARSET=UTF-8\r\n"), "UTF-8");
  EXPECT_EQ(FindCharset("Content-Type: text/html; charset=gb_2312-80;x\r\n"), "gb_2312-80");
  // A quoted value does not match the pattern; a later plain one does.
  EXPECT_EQ(FindCharset("A: charset=\"x\"\r\nB: charset=big5\r\n"), "big5");
  EXPECT_EQ(FindCharset("Content-Type: text/plain\r\n"), std::nullopt);
}

TEST(HeaderSearch, ContentLengthNeedsTheExactSpacingAndDigits) {
  EXPECT_EQ(FindContentLength("HTTP/1.1 200 OK\r\ncontent-length: 1234\r\n\r\n"), 1234u);
  EXPECT_EQ(FindContentLength("Content-Length:12\r\n"), std::nullopt);
  EXPECT_EQ(FindContentLength("Content-Length: x\r\nContent-Length: 7\r\n"), 7u);
  EXPECT_EQ(FindContentLength("Content-Length: 99999999999\r\n"), 4294967295u);
}

TEST(HeaderSearch, StatusLines) {
  EXPECT_EQ(StatusCodeOf("HTTP/1.1 404 Not Found\r\n"), 404);
  EXPECT_EQ(StatusCodeOf("HTTP/2 200\r\n"), 200);
  EXPECT_EQ(StatusCodeOf("Location: /x\r\n"), 0);
}

TEST(HeaderMerge, RepeatedNamesJoinWithSemicolonsAndEmptyValuesSurvive) {
  HeaderLines merged = MergeHeaderLines("Content-Length: 5\r\nX-A: 1\r\nx-a: 2\nX-Empty:\r\n\r\n");
  EXPECT_FALSE(merged.malformed);
  EXPECT_EQ(merged.lines, (std::vector<std::string>{"Content-Length: 5", "X-A: 1; 2", "X-Empty;"}));
  EXPECT_TRUE(HasHeader(merged.lines, "x-empty"));
  EXPECT_TRUE(HasHeader(merged.lines, "content-length"));
  EXPECT_FALSE(HasHeader(merged.lines, "Accept"));

  HeaderLines bad = MergeHeaderLines("no colon here\r\n: no name\r\nOk: 1\r\n");
  EXPECT_TRUE(bad.malformed);
  EXPECT_EQ(bad.lines, (std::vector<std::string>{"Ok: 1"}));

  // A bare CR would start a line of its own at a lenient peer; a NUL would cut the line short.
  HeaderLines control = MergeHeaderLines(std::string("X-A: 1\rX-Injected: 2\r\nX-B: a\0b\r\nX-Tab:\tv\r\n", 42));
  EXPECT_TRUE(control.malformed);
  EXPECT_EQ(control.lines, (std::vector<std::string>{"X-Tab: v"}));
}

TEST(BodyDecoding, Utf8OnlyWhenNamedAndValidOtherwiseTheCodePage) {
  std::string gbk = platform::ToCodePage("体重");
  EXPECT_EQ(DecodeBody("体重", "UTF-8"), "体重");
  EXPECT_EQ(DecodeBody("体重", "utf-8;q"), "体重");
  EXPECT_EQ(DecodeBody(gbk, "utf-8"), "体重");  // not valid UTF-8: read in the code page
  EXPECT_EQ(DecodeBody(gbk, "gb2312"), "体重");
  EXPECT_EQ(DecodeBody(gbk, ""), "体重");
  EXPECT_EQ(DecodeBody(std::string("ab\0cd", 5), "utf-8"), "ab");
  EXPECT_EQ(DecodeBody("", "utf-8"), "");
}

TEST(BodyDecoding, Utf8ValidityRejectsOverlongsAndSurrogates) {
  EXPECT_TRUE(IsValidUtf8("a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xe4\xb8"));          // cut short
}

TEST(HtmlRule, AnOpenTagWithoutItsCloseInTheTextPart) {
  EXPECT_TRUE(IsIncompleteHtmlPage("<HTML><body>"));
  EXPECT_FALSE(IsIncompleteHtmlPage("<html></HTML>"));
  EXPECT_FALSE(IsIncompleteHtmlPage("<?xml version=\"1.0\"?><root/>"));
  EXPECT_FALSE(IsIncompleteHtmlPage(std::string("\0<html>", 7)));  // beyond the text
  EXPECT_TRUE(IsIncompleteHtmlPage(std::string("<html>\0</html>", 14)));
  EXPECT_TRUE(IsIncompleteHtmlPage(platform::ToCodePage("中") + "<html>"));
}

TEST(ResponseBufferGrowth, DoublesAndKeepsItsBytesWhenGrowthFails) {
  ResponseBuffer buffer;
  ASSERT_TRUE(buffer.Restart());
  std::string chunk(10000, 'a');
  ASSERT_TRUE(buffer.Append(chunk));
  ASSERT_TRUE(buffer.Append(chunk));  // past the first 10240 bytes
  EXPECT_EQ(buffer.view(), chunk + chunk);

  buffer.SetGrowthLimitForTest(40960);
  EXPECT_TRUE(buffer.Append(std::string(480, 'b')));  // fits in 20480
  EXPECT_FALSE(buffer.Append(chunk));                 // would need 40960
  EXPECT_EQ(buffer.size(), 20480u);
  EXPECT_EQ(buffer.view().substr(20000), std::string(480, 'b'));
}

TEST(UrlSplitting, HttpAndHttpsWithinTheSizesTheClientAccepts) {
  auto parts = SplitUrl("https://Example.org:8443/a/b?x=1&y=2");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->scheme, "https");
  EXPECT_EQ(parts->host, "Example.org");
  EXPECT_EQ(parts->port, 8443);
  EXPECT_EQ(parts->pathAndQuery, "/a/b?x=1&y=2");
  EXPECT_EQ(SplitUrl("http://host/")->port, 80);

  EXPECT_FALSE(SplitUrl("ftp://host/file"));
  EXPECT_FALSE(SplitUrl("not a url"));
  EXPECT_TRUE(SplitUrl("http://h/" + std::string(1298, 'p')));
  EXPECT_FALSE(SplitUrl("http://h/" + std::string(1299, 'p')));
}

}  // namespace
}  // namespace http
