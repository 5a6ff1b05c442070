#include "service/site/member_site.h"

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "service/api/device_codes.h"
#include "service/site/html.h"
#include "service/site/static_pages.h"
#include "service/site/weight_chart.h"
#include "service/store/password_hash.h"
#include "service/wire/email_address.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// The help dialog's customer-service desks: "qq1" .. "qq4", "shop", "shop1" .. "shop4".
bool IsServiceDesk(std::string_view desk) {
  auto numbered = [&](std::string_view stem) {
    return desk.size() == stem.size() + 1 && desk.substr(0, stem.size()) == stem && desk.back() >= '1' &&
           desk.back() <= '4';
  };
  return desk == "shop" || numbered("qq") || numbered("shop");
}

WebAnswer Page(int status, std::string_view title, std::string_view body) {
  WebAnswer answer;
  answer.status = status;
  answer.body = HtmlPage(title, body);
  return answer;
}

WebAnswer NotFound() { return Page(404, "页面不存在", "<p>没有这个页面。</p>"); }

WebAnswer NotLoggedIn() {
  return Page(401, "请先登录",
              "<p>请在 Vymera 客户端里点击会员主页或提醒链接，客户端会替你登录。</p>");
}

std::string CookieValue(const std::string& cookies, std::string_view name) {
  size_t at = 0;
  while (at < cookies.size()) {
    while (at < cookies.size() && (cookies[at] == ' ' || cookies[at] == ';')) ++at;
    size_t end = cookies.find(';', at);
    if (end == std::string::npos) end = cookies.size();
    std::string_view pair(cookies.data() + at, end - at);
    if (pair.size() > name.size() && pair.substr(0, name.size()) == name && pair[name.size()] == '=')
      return std::string(pair.substr(name.size() + 1));
    at = end + 1;
  }
  return {};
}

// The reminder pages the client links to, by path and query, and the counter each one reads.
std::string ReminderKindOf(const WebRequest& request) {
  if (request.path == "/friend.php") return "fri";
  if (request.path == "/invit.php") return "ivi";
  if (request.path == "/usershare.php") return "reshare";
  if (request.path == "/snsmsg.php") return request.Param("action") == "sysmsg" ? "notice" : "msg";
  return {};
}

}  // namespace

std::string SafeLocalTarget(const std::string& reUrl) {
  if (reUrl.size() < 1 || reUrl[0] != '/' || (reUrl.size() > 1 && (reUrl[1] == '/' || reUrl[1] == '\\')))
    return "/home";
  for (char c : reUrl)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\') return "/home";
  return reUrl;
}

WebAnswer MemberSite::Answer(const WebRequest& request, int64_t now) {
  const std::string& path = request.path;
  if (request.verb == "POST") return path == "/register" ? Register(request) : NotFound();
  if (path == "/" || path == "/help") return Page(200, "帮助", HelpPageBody());
  if (path == "/register") return Page(200, "注册新用户", RegisterFormBody({}, {}, {}));
  if (path == "/forgetpass") return Page(200, "忘记密码", ForgotPasswordPageBody());
  if (path.rfind("/service/", 0) == 0 && IsServiceDesk(path.substr(9))) {
    return Page(200, "在线客服", CustomerServicePageBody(path.substr(9)));
  }
  if (path == "/softlogin.php") return SoftLogin(request, now);
  if (path.rfind("/head/", 0) == 0) return HeadImageFile(path.substr(6));
  if (path.rfind("/release/", 0) == 0) return ReleaseFile(path.substr(9));
  std::string reminder = ReminderKindOf(request);
  if (path != "/home" && reminder.empty()) return NotFound();
  auto uid = SessionMember(request, now);
  if (!uid) return NotLoggedIn();
  return reminder.empty() ? Home(*uid) : ReminderPage(*uid, reminder);
}

std::optional<int64_t> MemberSite::SessionMember(const WebRequest& request, int64_t now) {
  return data_.sessions.UidForSession(CookieValue(request.cookies, kSessionCookie), now);
}

WebAnswer MemberSite::SoftLogin(const WebRequest& request, int64_t now) {
  auto uid = data_.sessions.UidForLoginCode(request.Param("logincode"), now);
  if (!uid) return Page(403, "登录码无效", "<p>登录码无效或已过期，请在客户端中重新登录后再打开链接。</p>");
  std::string token = data_.sessions.OpenSession(*uid, now);
  if (token.empty()) return Page(503, "暂时无法登录", "<p>请稍后再试。</p>");
  std::string target = SafeLocalTarget(request.Param("re_url"));
  WebAnswer answer;
  answer.status = 302;
  answer.headers.emplace_back("Set-Cookie",
                              std::string(kSessionCookie) + "=" + token + "; Path=/; HttpOnly; SameSite=Lax");
  answer.headers.emplace_back("Location", target);
  answer.body = HtmlPage("正在打开", "<p><a href=\"" + HtmlText(target) + "\">继续</a></p>");
  return answer;
}

WebAnswer MemberSite::Register(const WebRequest& request) {
  std::string account = request.Param("account");
  std::string password = request.Param("password");
  std::string uname = request.Param("uname");
  std::string problem;
  if (!IsEmailAddress(account))
    problem = "账号必须是有效的电子邮件地址。";
  else if (password.empty() || password.size() > 128)
    problem = "请输入 1 到 128 个字节的密码。";
  else if (uname.empty() || platform::CountCodePoints(uname) > 32)
    problem = "请输入 1 到 32 个字的昵称。";
  else if (data_.accounts.FindByName(account))
    problem = "这个账号已经注册过了。";
  if (problem.empty()) {
    Account created;
    created.account = account;
    created.passwordHash = HashPassword(password);
    created.uname = uname;
    if (created.passwordHash.empty() || !data_.accounts.Create(created)) problem = "无法保存账号，请稍后再试。";
  }
  if (!problem.empty()) return Page(400, "注册新用户", RegisterFormBody(problem, account, uname));
  return Page(200, "注册成功",
              "<p>账号 " + HtmlText(account) + " 已经注册。现在可以在 Vymera 客户端里添加这个账号。</p>");
}

WebAnswer MemberSite::Home(int64_t uid) {
  auto account = data_.accounts.Find(uid);
  if (!account) return NotLoggedIn();
  std::string body = "<p>" + HtmlText(account->uname) + "（" + HtmlText(account->account) + "），等级 " +
                     std::to_string(account->level) + "</p>";
  const Reminders& r = account->reminders;
  body += "<h2>提醒</h2><ul>";
  body += "<li><a href=\"/friend.php?action=reqs&amp;type=readnew\">" + std::to_string(r.fri) + " 个新好友</a></li>";
  body += "<li><a href=\"/invit.php?type=readnew\">" + std::to_string(r.ivi) + " 个新邀请</a></li>";
  body += "<li><a href=\"/snsmsg.php?type=readnew\">" + std::to_string(r.msg) + " 条新私信</a></li>";
  body += "<li><a href=\"/usershare.php?action=re&amp;type=new\">" + std::to_string(r.reshare) + " 条新回复</a></li>";
  body += "<li><a href=\"/snsmsg.php?action=sysmsg&amp;type=new\">" + std::to_string(r.notice) + " 条新通知</a></li>";
  body += "</ul><h2>我的硬件</h2>";
  std::vector<Binding> bindings = data_.devices.BindingsOf(uid);
  if (bindings.empty()) body += "<p>还没有绑定硬件。</p>";
  for (const Binding& binding : bindings)
    body += "<p>" + std::string(DeviceKindName(binding.kind)) + "：" + HtmlText(binding.code) + "</p>";

  std::vector<WeightRow> weights = data_.uploads.WeightsOf(uid);
  body += "<h2>体重</h2>" + WeightChartSvg(weights);
  if (!weights.empty())
    body += "<p>最近一次：" + HtmlText(weights.back().day) + " " + KilogramText(weights.back().weightTenths) + " kg</p>";

  body += "<h2>运动日</h2>";
  std::vector<DayRow> days = data_.uploads.DaysOf(uid);
  if (days.empty()) {
    body += "<p>还没有上传的运动数据。</p>";
  } else {
    body += "<table><tr><th>日期</th><th>设备</th><th>序列号</th><th>数据</th></tr>";
    for (const DayRow& day : days) {
      body += "<tr><td>" + HtmlText(day.day) + "</td><td>" + std::string(DeviceKindName(day.kind)) + "</td><td>" +
              HtmlText(day.pedcode) + "</td><td>" + std::to_string(day.dataBytes) + " 字节</td></tr>";
    }
    body += "</table>";
  }
  return Page(200, "我的主页", body);
}

WebAnswer MemberSite::ReminderPage(int64_t uid, const std::string& kind) {
  auto account = data_.accounts.Find(uid);
  if (!account) return NotLoggedIn();
  const Reminders& r = account->reminders;
  struct Kind {
    const char* name;
    int count;
    const char* title;
    const char* unit;
  };
  const Kind kinds[] = {{"fri", r.fri, "新好友", "个"},
                        {"ivi", r.ivi, "新邀请", "个"},
                        {"msg", r.msg, "新私信", "条"},
                        {"reshare", r.reshare, "新回复", "条"},
                        {"notice", r.notice, "新通知", "条"}};
  for (const Kind& k : kinds) {
    if (kind != k.name) continue;
    // Opening the page is reading them; the client's next poll no longer counts them.
    data_.accounts.ClearReminder(uid, kind);
    return Page(200, k.title,
                "<p>你有 " + std::to_string(k.count) + " " + k.unit + k.title + "，现在都已标为已读。</p>"
                "<p><a href=\"/home\">回到我的主页</a></p>");
  }
  return NotFound();
}

WebAnswer MemberSite::HeadImageFile(const std::string& uidText) {
  auto uid = ParseUnsigned(uidText, INT64_MAX);
  auto image = uid ? data_.accounts.FindHeadImage(static_cast<int64_t>(*uid)) : std::nullopt;
  if (!image) return NotFound();
  WebAnswer answer;
  answer.contentType = image->type;
  answer.body = std::move(image->bytes);
  return answer;
}

WebAnswer MemberSite::ReleaseFile(const std::string& name) {
  // Only plain names inside the release folder; nothing above or beside it.
  if (name.empty() || name[0] == '.' || name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
    return NotFound();
  std::string path = platform::JoinPath(data_.releaseFolder, name);
  if (!platform::PathExists(path) || platform::IsFolder(path)) return NotFound();
  WebAnswer answer;
  answer.contentType = "application/octet-stream";
  answer.filePath = path;
  return answer;
}

}  // namespace service
