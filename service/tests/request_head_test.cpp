// Following a request head as its bytes arrive.

#include <gtest/gtest.h>

#include <string>

#include "service/net/request_head.h"

namespace service {
namespace {

// Feeds text one byte at a time and reports the first state that is not Incomplete.
HeadState ScanByteByByte(const std::string& text, size_t maxBytes, size_t maxFields, size_t* size = nullptr) {
  HeadScanner scanner(maxBytes, maxFields);
  for (size_t i = 1; i <= text.size(); ++i) {
    HeadState state = scanner.Scan(std::string_view(text).substr(0, i));
    if (state != HeadState::Incomplete) {
      if (size) *size = scanner.size();
      return state;
    }
  }
  return HeadState::Incomplete;
}

TEST(RequestHead, EndsAtTheFirstBlankLineAfterTheRequestLine) {
  std::string head = "GET / HTTP/1.1\r\nHost: a\r\n\r\n";
  size_t size = 0;
  EXPECT_EQ(ScanByteByByte(head + "body\r\n\r\n", 1024, 10, &size), HeadState::Complete);
  EXPECT_EQ(size, head.size());
  HeadScanner whole(1024, 10);
  EXPECT_EQ(whole.Scan(head + "GET /next"), HeadState::Complete);
  EXPECT_EQ(whole.size(), head.size());
  // A bare LF line does not end the head, as the HTTP library does not take it for the end either.
  EXPECT_EQ(ScanByteByByte("GET / HTTP/1.1\r\nHost: a\r\n\n", 1024, 10), HeadState::Incomplete);
  // An empty request line is the request line, not the end of the head.
  EXPECT_EQ(ScanByteByByte("\r\n", 1024, 10), HeadState::Incomplete);
}

TEST(RequestHead, RefusesAtTheBoundsAndNotBefore) {
  std::string head = "GET / HTTP/1.1\r\nA: 1\r\nB: 2\r\n\r\n";
  EXPECT_EQ(ScanByteByByte(head, head.size(), 2), HeadState::Complete);
  EXPECT_EQ(ScanByteByByte(head, head.size() - 1, 2), HeadState::TooLarge);
  EXPECT_EQ(ScanByteByByte(head, head.size(), 1), HeadState::TooManyFields);
  EXPECT_EQ(ScanByteByByte("GET /" + std::string(100, 'x'), 64, 2), HeadState::RequestLineTooLong);
  // An endless header line is refused once it passes the bound, without waiting for its end.
  EXPECT_EQ(ScanByteByByte("GET / HTTP/1.1\r\nX: " + std::string(100, 'x'), 64, 2), HeadState::TooLarge);
  // Lines of any kind count, those the library would skip too.
  EXPECT_EQ(ScanByteByByte("GET / HTTP/1.1\r\nA\nB\nC\n", 1024, 2), HeadState::TooManyFields);
}

TEST(RequestHead, TellsTheBodyLengthOnlyWhenItIsPlain) {
  std::string line = "POST / HTTP/1.1\r\n";
  EXPECT_EQ(AnnouncedBodyLength(line + "Host: a\r\n\r\n"), 0u);
  EXPECT_EQ(AnnouncedBodyLength(line + "content-LENGTH:  17 \r\n\r\n"), 17u);
  // A field that only begins with the name is another field.
  EXPECT_EQ(AnnouncedBodyLength(line + "Content-Length-X: 5\r\n\r\n"), 0u);
  // Framings the HTTP library judges itself: chunked, two lengths, a length that is no number.
  EXPECT_EQ(AnnouncedBodyLength(line + "Transfer-Encoding: chunked\r\nContent-Length: 3\r\n\r\n"), std::nullopt);
  EXPECT_EQ(AnnouncedBodyLength(line + "Content-Length: 3\r\nContent-Length: 3\r\n\r\n"), std::nullopt);
  EXPECT_EQ(AnnouncedBodyLength(line + "Content-Length: -1\r\n\r\n"), std::nullopt);
  EXPECT_EQ(AnnouncedBodyLength(line + "Content-Length: 99999999999999999999999\r\n\r\n"), std::nullopt);
  // The request line is no field, whatever it says.
  EXPECT_EQ(AnnouncedBodyLength("Content-Length: 9\r\n\r\n"), 0u);
}

}  // namespace
}  // namespace service
