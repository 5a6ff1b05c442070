#pragma once
// The bodies of the member site's fixed pages.

#include <string>

namespace service {

std::string HelpPageBody();
std::string ForgotPasswordPageBody();
// The registration form, with a problem shown above it and the values typed before kept.
std::string RegisterFormBody(const std::string& problem, const std::string& account, const std::string& uname);

}  // namespace service
