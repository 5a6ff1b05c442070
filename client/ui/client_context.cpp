#include "client/ui/client_context.h"

#include "toolkit/desktop/desktop.h"

namespace {
std::string Joined(const std::string& site, std::string_view path) {
  std::string url = site;
  if (!url.empty() && url.back() == '/' && !path.empty() && path.front() == '/') url.pop_back();
  url.append(path);
  return url;
}

// Without a browser a click on a link would do nothing at all: the user is given the address.
void TellNoBrowser(const std::string& url) {
  toolkit::ShowMessageBox(nullptr, CStdString("没有找到可以打开网页的浏览器。请在浏览器中打开：\n" + url),
                          "Vymera同步软件", MB_OK | MB_ICONINFORMATION);
}
}  // namespace

std::string ClientContext::MemberPage(std::string_view path) const { return Joined(memberSite, path); }

std::string ClientContext::MemberHome(const UserRecord& user) const {
  return MemberPage("/softlogin.php?re_url=%2Fhome&logincode=") + user.logincode;
}

bool OpenPage(const std::string& url) {
  if (toolkit::OpenUrl(url, SW_SHOWMAXIMIZED, [url] { TellNoBrowser(url); })) return true;
  TellNoBrowser(url);
  return false;
}

bool ChangeMade(HWND owner, UserChange change) {
  if (change == UserChange::PassRunning) {
    toolkit::ShowMessageBox(owner, "正在同步数据，请在同步结束后再试。", "Vymera同步软件", MB_OK | MB_ICONINFORMATION);
  }
  return change == UserChange::Done;
}
