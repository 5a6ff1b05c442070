#include "service/api/api_service.h"

#include <functional>
#include <vector>

#include "platform/codepage.h"
#include "service/api/api_request.h"
#include "service/wire/form_reader.h"
#include "service/wire/signature.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// Enough readings for any value holding "&" or even the text of a later field; a body that can
// be read in more ways than this is refused rather than searched further.
constexpr size_t kMaxReadings = 64;

using Answerer = std::function<std::string(ServiceData&, const ApiRequest&)>;

struct MethodLayout {
  std::string_view method;
  std::vector<std::string_view> fields;  // in the order the client writes them, "method" first
  bool isSigned;
  Answerer answer;
};

const std::vector<MethodLayout>& Methods() {
  static const std::vector<MethodLayout> kMethods = {
      {"user.id.get", {"method", "account", "password", "sign"}, true, AnswerUserInfo},
      {"scale.code.pinless", {"method", "scalecode", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerBind(d, r, DeviceKind::Scale); }},
      {"ped.code.pinless", {"method", "pedcode", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerBind(d, r, DeviceKind::Pedometer); }},
      {"K700.code.pinless", {"method", "pedcode", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerBind(d, r, DeviceKind::Pace700); }},
      {"scale.hard.cancel", {"method", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerUnbind(d, r, DeviceKind::Scale); }},
      {"ped.hard.cancel", {"method", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerUnbind(d, r, DeviceKind::Pedometer); }},
      {"K700.hard.cancel", {"method", "user_id", "sign"}, true,
       [](ServiceData& d, const ApiRequest& r) { return AnswerUnbind(d, r, DeviceKind::Pace700); }},
      {"scale.weight.up", {"method", "user_id", "scalecode", "date", "weight", "sign"}, true, AnswerWeightUpload},
      {"ped.byte.up", {"method", "pedcode", "user_id", "date", "sign", "file"}, true, AnswerPedometerDay},
      {"K700.byte.up", {"method", "pedcode", "user_id", "date", "sign", "file", "type"}, true, AnswerPace700Day},
      {"vymera.get", {"method"}, false, AnswerVersion},
  };
  return kMethods;
}

bool IsSignedField(std::string_view name) { return name != "sign" && name != "file" && name != "type"; }

bool Verifies(const MethodLayout& layout, const FormReading& reading) {
  std::vector<std::pair<std::string_view, std::string_view>> signedFields;
  std::string_view sign;
  for (size_t i = 0; i < layout.fields.size(); ++i) {
    if (layout.fields[i] == "sign") sign = reading.values[i];
    if (IsSignedField(layout.fields[i])) signedFields.emplace_back(layout.fields[i], reading.values[i]);
  }
  return SignatureMatches(SignedText(std::move(signedFields)), sign);
}

}  // namespace

std::string ApiService::Answer(std::string_view body, const std::string& baseUrl, int64_t now) {
  auto name = MethodNameOf(body);
  if (!name) return RefusalAnswer("2", "请求格式错误");
  const MethodLayout* layout = nullptr;
  for (const MethodLayout& candidate : Methods())
    if (candidate.method == *name) layout = &candidate;
  if (!layout) return RefusalAnswer("3", "未知的请求方法");

  FormReadings form = ReadForm(body, layout->method, layout->fields, kMaxReadings);
  if (form.readings.empty()) return RefusalAnswer("2", "请求字段不全或次序不对");
  const FormReading* chosen = nullptr;
  for (const FormReading& reading : form.readings) {
    if (!layout->isSigned || Verifies(*layout, reading)) {
      chosen = &reading;
      break;
    }
  }
  if (!chosen) return form.truncated ? RefusalAnswer("2", "请求字段无法分辨") : RefusalAnswer("1", "签名错误");

  ApiRequest request;
  request.method = std::string(layout->method);
  request.baseUrl = baseUrl;
  request.now = now;
  for (size_t i = 0; i < layout->fields.size(); ++i)
    request.fields.emplace_back(std::string(layout->fields[i]), platform::FromCodePage(chosen->values[i]));
  return layout->answer(data_, request);
}

std::optional<Account> FindMember(ServiceData& data, const ApiRequest& request, std::string& refusal) {
  auto uid = ParseUnsigned(request.Value("user_id"), INT64_MAX);
  if (!uid) {
    refusal = RefusalAnswer("2", "用户编号无效");
    return std::nullopt;
  }
  auto account = data.accounts.Find(static_cast<int64_t>(*uid));
  if (!account) refusal = RefusalAnswer("14", "用户不存在");
  return account;
}

}  // namespace service
