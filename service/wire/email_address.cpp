#include "service/wire/email_address.h"

namespace service {
namespace {

bool IsLabelCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsDomain(std::string_view domain) {
  size_t labels = 0;
  size_t start = 0;
  while (start <= domain.size()) {
    size_t end = domain.find('.', start);
    if (end == std::string_view::npos) end = domain.size();
    std::string_view label = domain.substr(start, end - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
    for (char c : label)
      if (!IsLabelCharacter(c)) return false;
    ++labels;
    start = end + 1;
  }
  return labels >= 2;
}

}  // namespace

bool IsEmailAddress(std::string_view text) {
  size_t at = text.find('@');
  if (text.size() > 254 || at == std::string_view::npos || at == 0 || text.find('@', at + 1) != std::string_view::npos)
    return false;
  for (char c : text.substr(0, at))
    if (c <= ' ' || c > '~' || c == '"' || c == '(' || c == ')' || c == ',' || c == ';' || c == '<' || c == '>' ||
        c == '[' || c == ']' || c == '\\')
      return false;
  return IsDomain(text.substr(at + 1));
}

}  // namespace service
