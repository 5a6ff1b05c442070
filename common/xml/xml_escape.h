#pragma once
// The escape rules of XmlDocument texts, names and attribute values.

#include <string>
#include <string_view>

// "&" not followed by "#" → "&amp;", "<" → "&lt;", ">" → "&gt;", '"' → "&quot;", "'" → "&apos;".
std::string XmlEscape(std::string_view text);

// The five entities back, and "&#…" / "&#x…" character references to UTF-8 (the byte after the
// digits, normally ";", is dropped). Any other ampersand stays.
std::string XmlUnescape(std::string_view text);
