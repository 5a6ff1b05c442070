#include "service/wire/xml_answer.h"

namespace service {
namespace {

// Length of the valid UTF-8 sequence at text[i] that XML may carry, or 0.
size_t AllowedSequence(std::string_view text, size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
  size_t length = 0;
  if (lead >= 0xC2 && lead < 0xE0)
    length = 2;
  else if (lead >= 0xE0 && lead < 0xF0)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    unsigned char next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  bool excluded = (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF;
  return overlong || excluded ? 0 : length;
}

}  // namespace

std::string XmlText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t length = AllowedSequence(utf8, i);
    if (length == 0) {
      out += '?';
      ++i;
      continue;
    }
    switch (utf8[i]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.append(utf8.substr(i, length));
    }
    i += length;
  }
  return out;
}

XmlAnswer::XmlAnswer(std::string_view root) : text_("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") { Open(root); }

XmlAnswer& XmlAnswer::Add(std::string_view name, std::string_view text) {
  text_ += '<';
  text_ += name;
  text_ += '>';
  text_ += XmlText(text);
  text_ += "</";
  text_ += name;
  text_ += '>';
  return *this;
}

XmlAnswer& XmlAnswer::Add(std::string_view name, int64_t number) { return Add(name, std::to_string(number)); }

XmlAnswer& XmlAnswer::Open(std::string_view name) {
  text_ += '<';
  text_ += name;
  text_ += '>';
  open_.emplace_back(name);
  return *this;
}

XmlAnswer& XmlAnswer::Close() {
  if (!open_.empty()) {
    text_ += "</" + open_.back() + ">";
    open_.pop_back();
  }
  return *this;
}

std::string XmlAnswer::Finish() {
  while (!open_.empty()) Close();
  text_ += '\n';
  return std::move(text_);
}

std::string RefusalAnswer(std::string_view code, std::string_view message) {
  return XmlAnswer("error_res").Add("code", code).Add("msg", message).Finish();
}

}  // namespace service
