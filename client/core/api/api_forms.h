#pragma once
// The form text of every request the client sends to the web service, built from the user record
// and the caller's values. Texts are UTF-8; the sender puts them into the code page.

#include <string>
#include <string_view>

#include "client/core/devices/pedometer_day.h"
#include "client/core/users/user_record.h"
#include "common/service/version_offer.h"

namespace api_forms {

// The version query is the one request without a signature.
inline constexpr std::string_view kVersionQuery = version_offer::kQuery;
// What the connection probe posts: any answer document at all means the service is reachable.
inline constexpr std::string_view kProbe =
    "user.id.get&account=probe&password=probe&sign=00000000000000000000000000000000";

std::string UserInfo(std::string_view account, std::string_view password);
// method is "scale.code.pinless", "ped.code.pinless" or "K700.code.pinless"; the scale sends its
// code as "scalecode", the other two as "pedcode".
std::string Bind(std::string_view method, std::string_view codeName, const UserRecord& user, std::string_view code);
// method is "scale.hard.cancel", "ped.hard.cancel" or "K700.hard.cancel".
std::string Unbind(std::string_view method, const UserRecord& user);
std::string UploadWeight(const UserRecord& user, std::string_view date, std::string_view scaleCode, float weight);
std::string UploadPedometerDay(const UserRecord& user, const PedometerDay& day);
std::string UploadPace700Day(const UserRecord& user, std::string_view fileText, std::string_view dateText,
                             std::string_view deviceCode);

// The pieces with fixed formats.
std::string WeightText(float weight);              // "%.1f", always with a point
std::string PedometerCode(uint32_t deviceId);      // "A1%.10u"
std::string PedometerDate(const PedometerDay& day);  // "%d-%d-%d"
std::string PedometerFile(const PedometerDay& day);  // "h%02x" per data byte

}  // namespace api_forms
