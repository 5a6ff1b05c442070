#pragma once
// Where a redirect leads, for a transport that follows redirects itself: the Location of an answer
// read against the URL it answered.

#include <optional>
#include <string>
#include <string_view>

namespace http {

// The absolute URL that location names, read against the absolute http or https URL from (an
// absolute, scheme-relative, host-relative, query-only or path-relative reference; the fragment
// left out). Nothing when location is empty, names another scheme than http and https, or leads
// from https to plain http: a redirect that must not be followed.
std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location);

}  // namespace http
