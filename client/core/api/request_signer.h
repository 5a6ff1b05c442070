#pragma once
// The fields of one API request in the order they are sent, and their signature: MD5 over the
// signature key followed by every signed field, name then value, in ascending order of name, all in
// the 8-bit code page.

#include <string>
#include <string_view>
#include <vector>

// The key the service shares with the client.
inline constexpr std::string_view kSignatureKey = "5f0c9e2ab7d1436c8e94a0b2c7d3e6f1";

// MD5 of bytes as 32 lowercase hexadecimal digits; empty only if the digest cannot be computed.
std::string Md5Hex(std::string_view bytes);

class RequestForm {
 public:
  // A form whose first field is method (signed).
  explicit RequestForm(std::string_view method);

  // Appends a field that the signature covers.
  RequestForm& Signed(std::string_view name, std::string_view value);
  // Appends a field that is sent but not signed.
  RequestForm& Unsigned(std::string_view name, std::string_view value);
  // Appends the "sign" field; its value covers every signed field, also those appended later.
  RequestForm& Sign();

  // The text the signature is computed over (UTF-8; signed as its code-page bytes).
  std::string SignedText() const;
  // "name=value" joined with "&" in order, values as they are (no URL encoding).
  std::string Text() const;

 private:
  struct Field {
    std::string name;
    std::string value;
    bool isSigned;
    bool isSign;
  };
  std::vector<Field> fields_;
};
