#include "client/core/api/api_forms.h"

#include <cstdio>

#include "client/core/api/request_signer.h"
#include "client/core/devices/hid_class.h"
#include "platform/number_text.h"

namespace api_forms {

std::string UserInfo(std::string_view account, std::string_view password) {
  return RequestForm("user.id.get").Signed("account", account).Signed("password", password).Sign().Text();
}

std::string Bind(std::string_view method, std::string_view codeName, const UserRecord& user, std::string_view code) {
  return RequestForm(method).Signed(codeName, code).Signed("user_id", user.uid).Sign().Text();
}

std::string Unbind(std::string_view method, const UserRecord& user) {
  return RequestForm(method).Signed("user_id", user.uid).Sign().Text();
}

std::string UploadWeight(const UserRecord& user, std::string_view date, std::string_view scaleCode, float weight) {
  return RequestForm("scale.weight.up")
      .Signed("user_id", user.uid)
      .Signed("scalecode", scaleCode)
      .Signed("date", date)
      .Signed("weight", WeightText(weight))
      .Sign()
      .Text();
}

std::string UploadPedometerDay(const UserRecord& user, const PedometerDay& day) {
  return RequestForm("ped.byte.up")
      .Signed("pedcode", PedometerCode(day.deviceId))
      .Signed("user_id", user.uid)
      .Signed("date", PedometerDate(day))
      .Sign()
      .Unsigned("file", PedometerFile(day))
      .Text();
}

std::string UploadPace700Day(const UserRecord& user, std::string_view fileText, std::string_view dateText,
                             std::string_view deviceCode) {
  return RequestForm("K700.byte.up")
      .Signed("pedcode", deviceCode)
      .Signed("user_id", user.uid)
      .Signed("date", dateText)
      .Sign()
      .Unsigned("file", fileText)
      .Unsigned("type", "k690")
      .Text();
}

std::string WeightText(float weight) { return platform::FixedText(weight, 1); }

std::string PedometerCode(uint32_t deviceId) { return CHIDClass::IdText(deviceId); }

std::string PedometerDate(const PedometerDay& day) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d-%d-%d", day.year, day.month, day.day);
  return buffer;
}

std::string PedometerFile(const PedometerDay& day) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string file;
  file.reserve(day.data.size() * 3);
  for (uint8_t byte : day.data) {
    file.push_back('h');
    file.push_back(kHex[byte >> 4]);
    file.push_back(kHex[byte & 0x0F]);
  }
  return file;
}

}  // namespace api_forms
