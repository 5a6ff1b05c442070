#pragma once
// The bodies of the member site's fixed pages.

#include <string>
#include <string_view>

namespace service {

std::string HelpPageBody();
// The customer-service desk the client's help dialog links to ("qq1" .. "qq4", "shop", "shop1" ..).
std::string CustomerServicePageBody(std::string_view desk);
std::string ForgotPasswordPageBody();
// The registration form, with a problem shown above it and the values typed before kept.
std::string RegisterFormBody(const std::string& problem, const std::string& account, const std::string& uname);

}  // namespace service
