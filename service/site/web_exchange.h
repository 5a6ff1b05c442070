#pragma once
// One request to the member site and its answer, apart from the HTTP library that carries them.

#include <string>
#include <utility>
#include <vector>

namespace service {

struct WebRequest {
  std::string verb;  // "GET" or "POST"
  std::string path;  // without the query
  std::vector<std::pair<std::string, std::string>> params;  // query or posted form, decoded
  std::string cookies;  // the Cookie header as sent
  std::string baseUrl;  // "http://host:port"

  // The first value of a parameter; empty when absent.
  std::string Param(const std::string& name) const {
    for (const auto& [key, value] : params)
      if (key == name) return value;
    return {};
  }
};

struct WebAnswer {
  int status = 200;
  std::string contentType = "text/html; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string filePath;  // when set, the body is this file's content, sent as it is read
};

}  // namespace service
