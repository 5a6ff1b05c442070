#include "service/net/request_head.h"

namespace service {

HeadState HeadScanner::Scan(std::string_view bytes) {
  for (;;) {
    size_t lf = bytes.find('\n', searched_);
    size_t lineEnd = lf == std::string_view::npos ? bytes.size() : lf + 1;
    if (lineEnd > maxBytes_) return lines_ == 0 ? HeadState::RequestLineTooLong : HeadState::TooLarge;
    if (lf == std::string_view::npos) {
      searched_ = bytes.size();
      return HeadState::Incomplete;
    }
    std::string_view line = bytes.substr(lineStart_, lineEnd - lineStart_);
    lineStart_ = searched_ = lineEnd;
    if (lines_ > 0 && line == "\r\n") return HeadState::Complete;
    if (++lines_ > maxFields_ + 1) return HeadState::TooManyFields;
  }
}

}  // namespace service
