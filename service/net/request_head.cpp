#include "service/net/request_head.h"

#include <strings.h>

#include <string>

#include "service/wire/strict_number.h"

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

namespace {

// The value of a header line when its name is name (any case), with the blanks around it removed.
std::optional<std::string_view> FieldValue(std::string_view line, std::string_view name) {
  if (line.size() <= name.size() || line[name.size()] != ':' ||
      strncasecmp(line.data(), name.data(), name.size()) != 0)
    return std::nullopt;
  std::string_view value = line.substr(name.size() + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) value.remove_suffix(1);
  return value;
}

}  // namespace

std::optional<size_t> AnnouncedBodyLength(std::string_view head) {
  std::optional<size_t> length = 0;
  bool announced = false;
  size_t lineEnd = head.find('\n');
  while (lineEnd != std::string_view::npos && lineEnd + 1 < head.size()) {
    size_t next = head.find('\n', lineEnd + 1);
    std::string_view line = head.substr(lineEnd + 1, next == std::string_view::npos ? std::string_view::npos
                                                                                     : next - lineEnd - 1);
    lineEnd = next;
    if (FieldValue(line, "Transfer-Encoding")) return std::nullopt;
    auto value = FieldValue(line, "Content-Length");
    if (!value) continue;
    auto number = ParseUnsigned(*value);
    if (announced || !number) return std::nullopt;
    announced = true;
    length = static_cast<size_t>(*number);
  }
  return length;
}

}  // namespace service
