#pragma once
// Small helpers for the member site's HTML pages.

#include <string>
#include <string_view>

namespace service {

// Text made safe inside HTML elements and quoted attributes.
std::string HtmlText(std::string_view utf8);

// A whole page with the site's header and style around body (already HTML).
std::string HtmlPage(std::string_view title, std::string_view body);

}  // namespace service
