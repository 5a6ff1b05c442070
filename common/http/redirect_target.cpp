#include "common/http/redirect_target.h"

#include <cctype>

#include "platform/text.h"

namespace http {
namespace {

// The scheme of an absolute reference ("http" of "http://..."); empty for a relative one.
std::string_view SchemeOf(std::string_view reference) {
  if (reference.empty() || !std::isalpha(static_cast<unsigned char>(reference[0]))) return {};
  for (size_t i = 1; i < reference.size(); ++i) {
    const auto c = static_cast<unsigned char>(reference[i]);
    if (c == ':') return reference.substr(0, i);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return {};
  }
  return {};
}

bool IsHttps(std::string_view scheme) { return platform::EqualsIgnoringAsciiCase(scheme, "https"); }

}  // namespace

std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location) {
  while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) location.remove_prefix(1);
  while (!location.empty() &&
         (location.back() == ' ' || location.back() == '\t' || location.back() == '\r' || location.back() == '\n')) {
    location.remove_suffix(1);
  }
  location = location.substr(0, location.find('#'));
  const std::string_view fromScheme = SchemeOf(from);
  if (location.empty() || fromScheme.empty() || from.substr(fromScheme.size(), 3) != "://") return std::nullopt;

  std::string target;
  if (const std::string_view scheme = SchemeOf(location); !scheme.empty()) {
    target.assign(location);
  } else if (location.substr(0, 2) == "//") {
    target = std::string(fromScheme) + ":" + std::string(location);
  } else {
    // from = scheme "://" authority path-and-query
    const size_t authorityEnd = from.find_first_of("/?#", fromScheme.size() + 3);
    const std::string_view origin = from.substr(0, authorityEnd);
    std::string_view path = authorityEnd == std::string_view::npos ? "/" : from.substr(authorityEnd);
    path = path.substr(0, path.find_first_of("?#"));
    if (path.empty()) path = "/";
    if (location.front() == '/') {
      target = std::string(origin) + std::string(location);
    } else if (location.front() == '?') {
      target = std::string(origin) + std::string(path) + std::string(location);
    } else {
      target = std::string(origin) + std::string(path.substr(0, path.rfind('/') + 1)) + std::string(location);
    }
  }
  const std::string_view scheme = SchemeOf(target);
  if (!platform::EqualsIgnoringAsciiCase(scheme, "http") && !IsHttps(scheme)) return std::nullopt;
  // A request that starts secure stays secure.
  if (IsHttps(fromScheme) && !IsHttps(scheme)) return std::nullopt;
  return target;
}

}  // namespace http
