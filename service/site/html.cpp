#include "service/site/html.h"

#include "service/wire/xml_answer.h"

namespace service {

std::string HtmlText(std::string_view utf8) {
  // The XML rules cover HTML text and attributes too; the apostrophe is added for single quotes.
  std::string escaped = XmlText(utf8);
  std::string out;
  for (char c : escaped) {
    if (c == '\'')
      out += "&#39;";
    else
      out += c;
  }
  return out;
}

std::string HtmlPage(std::string_view title, std::string_view body) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>";
  page += HtmlText(title);
  page +=
      " - Vymera</title><style>"
      "body{font-family:sans-serif;margin:2em auto;max-width:60em;color:#222}"
      "nav a{margin-right:1em}table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.3em .6em}"
      "form label{display:block;margin:.5em 0}.error{color:#b00}"
      "</style></head><body><nav><a href=\"/home\">我的主页</a><a href=\"/register\">注册</a>"
      "<a href=\"/help\">帮助</a></nav><h1>";
  page += HtmlText(title);
  page += "</h1>\n";
  page += body;
  page += "\n</body></html>\n";
  return page;
}

}  // namespace service
