#pragma once
// One API request whose form was read and whose signature verified.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "service/service_data.h"
#include "service/wire/xml_answer.h"

namespace service {

struct ApiRequest {
  std::string method;
  std::vector<std::pair<std::string, std::string>> fields;  // name → value in UTF-8, in the client's order
  std::string baseUrl;  // "http://host:port" as the client reached the service
  int64_t now = 0;  // seconds since 1970

  // The field's value; empty for a field the method does not have.
  const std::string& Value(const std::string& name) const {
    static const std::string kNone;
    for (const auto& [fieldName, value] : fields)
      if (fieldName == name) return value;
    return kNone;
  }
};

// The account named by the request's user_id; nothing with refusal set to the answer to send when
// the id is not a number or names no account.
std::optional<Account> FindMember(ServiceData& data, const ApiRequest& request, std::string& refusal);

// The answers of the methods; each returns a whole XML document, a refusal included.
std::string AnswerUserInfo(ServiceData& data, const ApiRequest& request);
std::string AnswerBind(ServiceData& data, const ApiRequest& request, DeviceKind kind);
std::string AnswerUnbind(ServiceData& data, const ApiRequest& request, DeviceKind kind);
std::string AnswerWeightUpload(ServiceData& data, const ApiRequest& request);
std::string AnswerPedometerDay(ServiceData& data, const ApiRequest& request);
std::string AnswerPace700Day(ServiceData& data, const ApiRequest& request);
std::string AnswerVersion(ServiceData& data, const ApiRequest& request);

}  // namespace service
