#include "client/ui/client_context.h"

#include "toolkit/desktop/desktop.h"

namespace {
std::string Joined(const std::string& site, std::string_view path) {
  std::string url = site;
  if (!url.empty() && url.back() == '/' && !path.empty() && path.front() == '/') url.pop_back();
  url.append(path);
  return url;
}
}  // namespace

std::string ClientContext::MemberPage(std::string_view path) const { return Joined(memberSite, path); }

std::string ClientContext::MemberHome(const UserRecord& user) const {
  return MemberPage("/softlogin.php?re_url=%2Fhome&logincode=") + user.logincode;
}

bool OpenPage(const std::string& url) { return toolkit::OpenUrl(url, SW_SHOWMAXIMIZED); }

bool ChangeMade(HWND owner, UserChange change) {
  if (change == UserChange::PassRunning) {
    toolkit::ShowMessageBox(owner, "正在同步数据，请在同步结束后再试。", "Vymera同步软件", MB_OK | MB_ICONINFORMATION);
  }
  return change == UserChange::Done;
}
