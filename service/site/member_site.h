#pragma once
// MemberSite: the web pages the client opens in the browser — registration, forgotten password,
// help, the login-code entry that opens a session, the member's home page with charts, the reminder
// pages — and the files the client fetches: head images and releases.

#include <cstdint>
#include <string>

#include "service/service_data.h"
#include "service/site/web_exchange.h"

namespace service {

inline constexpr std::string_view kSessionCookie = "vymera_session";

// re_url if it names a page of this site ("/…", not "//…"); "/home" for anything else, so a link
// cannot send the member's browser to another site.
std::string SafeLocalTarget(const std::string& reUrl);

class MemberSite {
 public:
  explicit MemberSite(ServiceData& data) : data_(data) {}

  // The answer to one GET or POST of a site page; 404 for unknown paths.
  WebAnswer Answer(const WebRequest& request, int64_t now);

 private:
  WebAnswer SoftLogin(const WebRequest& request, int64_t now);
  WebAnswer Register(const WebRequest& request);
  WebAnswer Home(int64_t uid);
  WebAnswer ReminderPage(int64_t uid, const std::string& kind);
  WebAnswer HeadImageFile(const std::string& uidText);
  WebAnswer ReleaseFile(const std::string& name);
  std::optional<int64_t> SessionMember(const WebRequest& request, int64_t now);

  ServiceData& data_;
};

}  // namespace service
