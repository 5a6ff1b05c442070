#pragma once
// ApiService: answers the client's API requests, the POSTs to "/". It reads the body by the field
// layout of its method, keeps the reading whose signature verifies, turns the values from the code
// page into UTF-8 and hands them to the method's answer.

#include <cstdint>
#include <string>
#include <string_view>

#include "service/service_data.h"

namespace service {

// Request bodies above this size are refused before they are read: the largest request, a tracker
// day, stays well below it.
inline constexpr size_t kMaxApiBodyBytes = 64 * 1024;

class ApiService {
 public:
  explicit ApiService(ServiceData& data) : data_(data) {}

  // The XML answer to one request body (code-page bytes); a refusal document for anything wrong.
  std::string Answer(std::string_view body, const std::string& baseUrl, int64_t now);

 private:
  ServiceData& data_;
};

}  // namespace service
