#pragma once
// XmlAnswer: writes one answer document of the web service, UTF-8 with the standard declaration.
// Elements nest as opened; Finish closes whatever is still open.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// Text made safe for element content: the markup characters as entities, and characters that XML
// cannot carry (control characters, invalid UTF-8) replaced by "?".
std::string XmlText(std::string_view utf8);

class XmlAnswer {
 public:
  explicit XmlAnswer(std::string_view root);

  // A child element of the innermost open element, holding text.
  XmlAnswer& Add(std::string_view name, std::string_view text);
  XmlAnswer& Add(std::string_view name, int64_t number);
  // Opens a child element that the following calls fill; Close ends it.
  XmlAnswer& Open(std::string_view name);
  XmlAnswer& Close();

  // The whole document; the writer is spent afterwards.
  std::string Finish();

 private:
  std::string text_;
  std::vector<std::string> open_;
};

// The refusal every method shares: root "error_res" with a "code" and a "msg" for the user.
std::string RefusalAnswer(std::string_view code, std::string_view message);

}  // namespace service
