// user.id.get: the member's login, answered with everything the client shows of the account.

#include "service/api/api_request.h"
#include "service/store/password_hash.h"
#include "service/wire/email_address.h"

namespace service {

std::string AnswerUserInfo(ServiceData& data, const ApiRequest& request) {
  const std::string& name = request.Value("account");
  if (!IsEmailAddress(name)) return RefusalAnswer("12", "账号不是有效的电子邮件地址");
  auto account = data.accounts.FindByName(name);
  if (!account) return RefusalAnswer("14", "账号不存在");
  // The hash is checked outside the database lock; it is slow on purpose.
  const std::string& password = request.Value("password");
  if (!VerifyPassword(password, account->passwordHash)) return RefusalAnswer("11", "密码错误");
  // A hash from an older, cheaper scheme is replaced now that the password is known. Should that
  // fail, the old one stays and still verifies: the login goes on either way.
  if (!IsCurrentHash(account->passwordHash)) {
    std::string renewed = HashPassword(password);
    if (!renewed.empty()) data.accounts.SetPasswordHash(account->uid, renewed);
  }
  std::string loginCode = data.sessions.LoginCodeFor(account->uid, request.now);
  if (loginCode.empty()) return RefusalAnswer("9", "服务器暂时无法登录，请稍后再试");

  XmlAnswer answer("user_res");
  answer.Add("uid", account->uid).Add("logincode", loginCode).Add("uname", account->uname).Add("level", account->level);
  const Profile& profile = account->profile;
  answer.Add("sex", profile.sex).Add("age", profile.age).Add("heigh", profile.heigh).Add("weight", profile.weight);
  answer.Add("stepvalue", profile.stepvalue);
  // An empty address tells the client to show its default picture.
  answer.Add("head_url", account->hasHeadImage ? request.baseUrl + "/head/" + std::to_string(account->uid) : "");
  answer.Open("hards");
  for (const Binding& binding : data.devices.BindingsOf(account->uid)) {
    answer.Open("hard").Add("hardtype", static_cast<int64_t>(binding.kind)).Add("hardcode", binding.code).Close();
  }
  answer.Close().Open("tasks");
  for (const Task& task : account->tasks) answer.Open("task").Add("value", task.value).Add("unit", task.unit).Close();
  const Reminders& r = account->reminders;
  answer.Close().Open("msgs");
  answer.Add("all", r.all()).Add("fri", r.fri).Add("ivi", r.ivi).Add("msg", r.msg).Add("reshare", r.reshare);
  answer.Add("notice", r.notice);
  return answer.Finish();
}

}  // namespace service
