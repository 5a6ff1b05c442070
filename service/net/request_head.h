#pragma once
// Follows a request head (the request line, the header lines and the blank line that ends them) as
// its bytes arrive, and tells as soon as it passes its bounds. Lines are split at LF and the head
// ends at the first line after the request line that is exactly CR LF, as the HTTP library reads it.

#include <cstddef>
#include <optional>
#include <string_view>

namespace service {

enum class HeadState { Incomplete, Complete, RequestLineTooLong, TooLarge, TooManyFields };

class HeadScanner {
 public:
  HeadScanner(size_t maxBytes, size_t maxFields) : maxBytes_(maxBytes), maxFields_(maxFields) {}

  // bytes: everything received for this request so far, from its first byte; each call passes the
  // bytes of the one before with more appended. Looks at every byte once.
  HeadState Scan(std::string_view bytes);

  // The size of the whole head, once Scan said Complete.
  size_t size() const { return lineStart_; }

 private:
  size_t maxBytes_;
  size_t maxFields_;
  size_t lineStart_ = 0;  // where the line being read begins
  size_t searched_ = 0;   // how far that line was searched for its end
  size_t lines_ = 0;      // complete lines, the request line included
};

// The length of the body that follows a complete head: 0 when the head announces none, nullopt when
// the body is framed otherwise (chunked) or its length is not one plain number, which the HTTP
// library then judges itself.
std::optional<size_t> AnnouncedBodyLength(std::string_view head);

}  // namespace service
