// The account commands: create, list, show uploads, reminder counters, password, demo seed.

#include <ctime>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "service/admin/argument_list.h"
#include "service/admin/commands.h"
#include "service/api/device_codes.h"
#include "service/store/password_hash.h"
#include "service/wire/email_address.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

constexpr size_t kMaxHeadImageBytes = 2 * 1024 * 1024;

bool Refuse(const ArgumentList& list, const std::vector<std::string>& known, std::ostream& err) {
  if (!list.ok()) {
    err << list.error() << "\n";
    return true;
  }
  for (const std::string& name : list.Unknown(known)) {
    err << "unknown option " << name << "\n";
    return true;
  }
  return false;
}

std::optional<std::string> ImageType(const std::string& bytes) {
  if (bytes.rfind("\xFF\xD8\xFF", 0) == 0) return "image/jpeg";
  if (bytes.rfind("\x89PNG\r\n\x1A\n", 0) == 0) return "image/png";
  if (bytes.rfind("GIF87a", 0) == 0 || bytes.rfind("GIF89a", 0) == 0) return "image/gif";
  return std::nullopt;
}

// "VALUE:UNIT", the weekly goal and its unit code 0–3.
std::optional<Task> ParseTask(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  auto value = ParseUnsigned(text.substr(0, colon), 100000000);
  auto unit = ParseUnsigned(text.substr(colon + 1), 3);
  if (!value || !unit) return std::nullopt;
  return Task{static_cast<int64_t>(*value), static_cast<int>(*unit)};
}

std::string Moment(int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::optional<Account> NamedAccount(const ArgumentList& list, ServiceData& data, std::ostream& err) {
  if (list.words().size() != 1) {
    err << "name exactly one account\n";
    return std::nullopt;
  }
  auto account = data.accounts.FindByName(list.words()[0]);
  if (!account) err << "no account " << list.words()[0] << "\n";
  return account;
}

int Create(Account account, const HeadImage* head, ServiceData& data, std::ostream& out, std::ostream& err) {
  if (data.accounts.FindByName(account.account)) {
    err << "account " << account.account << " exists already\n";
    return 1;
  }
  auto uid = data.accounts.Create(account, head);
  if (!uid) {
    err << "could not store account " << account.account << "\n";
    return 1;
  }
  out << "created account " << account.account << " with uid " << *uid << "\n";
  return 0;
}

}  // namespace

int CreateAccountCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  ArgumentList list(arguments, {});
  static const std::vector<std::string> kKnown = {"account", "password", "name", "level", "sex", "age",
                                                  "height", "weight", "stepvalue", "task", "head"};
  if (Refuse(list, kKnown, err)) return 2;
  Account account;
  account.account = list.Text("account");
  std::string password = list.Text("password");
  account.uname = list.Text("name");
  if (!IsEmailAddress(account.account)) {
    err << "--account must be an e-mail address\n";
    return 2;
  }
  if (password.empty() || account.uname.empty() || platform::CountCodePoints(account.uname) > 32) {
    err << "--password and --name (at most 32 characters) are needed\n";
    return 2;
  }
  std::string error;
  auto level = list.Number("level", 1, 1000, error);
  auto sex = list.Number("sex", 0, 1, error);
  auto age = list.Number("age", 0, 150, error);
  auto height = list.Number("height", 0, 250, error);
  auto weight = list.Number("weight", 0, 300, error);
  auto stepvalue = list.Number("stepvalue", 0, 250, error);
  if (!level || !sex || !age || !height || !weight || !stepvalue) {
    err << error << "\n";
    return 2;
  }
  account.level = static_cast<int>(*level);
  account.profile = {static_cast<int>(*sex), static_cast<int>(*age), static_cast<int>(*height),
                     static_cast<int>(*weight), static_cast<int>(*stepvalue)};
  for (const std::string& text : list.All("task")) {
    auto task = ParseTask(text);
    if (!task) {
      err << "--task wants VALUE:UNIT with a unit from 0 to 3, not \"" << text << "\"\n";
      return 2;
    }
    account.tasks.push_back(*task);
  }
  std::optional<HeadImage> head;
  if (list.Has("head")) {
    auto bytes = platform::ReadWholeFile(list.Text("head"), kMaxHeadImageBytes);
    auto type = bytes ? ImageType(*bytes) : std::nullopt;
    if (!type) {
      err << "--head must name a JPEG, PNG or GIF image of at most 2 MiB\n";
      return 2;
    }
    head = HeadImage{*type, std::move(*bytes)};
  }
  account.passwordHash = HashPassword(password);
  if (account.passwordHash.empty()) {
    err << "could not hash the password\n";
    return 1;
  }
  return Create(std::move(account), head ? &*head : nullptr, data, out, err);
}

int ListAccountsCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) {
    err << "list-accounts takes no arguments\n";
    return 2;
  }
  std::vector<Account> accounts = data.accounts.List();
  if (accounts.empty()) out << "no accounts\n";
  for (const Account& account : accounts) {
    out << account.uid << "  " << account.account << "  " << account.uname << "  level " << account.level << "\n";
    for (const Binding& binding : data.devices.BindingsOf(account.uid))
      out << "    " << DeviceKindName(binding.kind) << " " << binding.code << "  since " << Moment(binding.boundAt)
          << "\n";
  }
  return 0;
}

int ShowUploadsCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  ArgumentList list(arguments, {});
  if (Refuse(list, {}, err)) return 2;
  auto account = NamedAccount(list, data, err);
  if (!account) return 1;
  std::vector<WeightRow> weights = data.uploads.WeightsOf(account->uid);
  std::vector<DayRow> days = data.uploads.DaysOf(account->uid);
  out << "weights of " << account->account << ": " << weights.size() << "\n";
  for (const WeightRow& row : weights)
    out << "  " << row.day << "  " << KilogramText(row.weightTenths) << " kg  scale " << row.scalecode << "\n";
  out << "step days of " << account->account << ": " << days.size() << "\n";
  for (const DayRow& row : days)
    out << "  " << row.day << "  " << DeviceKindName(row.kind) << " " << row.pedcode << "  " << row.dataBytes
        << " bytes\n";
  return 0;
}

int SetRemindersCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  ArgumentList list(arguments, {});
  if (Refuse(list, {"fri", "ivi", "msg", "reshare", "notice"}, err)) return 2;
  auto account = NamedAccount(list, data, err);
  if (!account) return 1;
  const Reminders& now = account->reminders;
  std::string error;
  auto fri = list.Number("fri", now.fri, 100000, error);
  auto ivi = list.Number("ivi", now.ivi, 100000, error);
  auto msg = list.Number("msg", now.msg, 100000, error);
  auto reshare = list.Number("reshare", now.reshare, 100000, error);
  auto notice = list.Number("notice", now.notice, 100000, error);
  if (!fri || !ivi || !msg || !reshare || !notice) {
    err << error << "\n";
    return 2;
  }
  Reminders reminders{static_cast<int>(*fri), static_cast<int>(*ivi), static_cast<int>(*msg),
                      static_cast<int>(*reshare), static_cast<int>(*notice)};
  if (!data.accounts.SetReminders(account->uid, reminders)) {
    err << "could not store the reminder counters\n";
    return 1;
  }
  out << account->account << ": fri " << reminders.fri << ", ivi " << reminders.ivi << ", msg " << reminders.msg
      << ", reshare " << reminders.reshare << ", notice " << reminders.notice << " (all " << reminders.all() << ")\n";
  return 0;
}

int SetPasswordCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 2 || arguments[1].empty()) {
    err << "usage: set-password ACCOUNT PASSWORD\n";
    return 2;
  }
  auto account = data.accounts.FindByName(arguments[0]);
  if (!account) {
    err << "no account " << arguments[0] << "\n";
    return 1;
  }
  std::string hash = HashPassword(arguments[1]);
  if (hash.empty() || !data.accounts.SetPasswordHash(account->uid, hash)) {
    err << "could not store the password\n";
    return 1;
  }
  out << "password of " << account->account << " changed\n";
  return 0;
}

int SeedDemoCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  if (!arguments.empty()) {
    err << "seed-demo takes no arguments\n";
    return 2;
  }
  if (auto existing = data.accounts.FindByName("demo@example.com")) {
    out << "demo account demo@example.com exists already (uid " << existing->uid << ")\n";
    return 0;
  }
  Account demo;
  demo.account = "demo@example.com";
  demo.passwordHash = HashPassword("demo123");
  demo.uname = "演示用户";
  demo.level = 3;
  demo.profile = {1, 32, 172, 68, 72};
  demo.tasks = {{70000, 0}};
  demo.reminders = {1, 0, 2, 0, 1};
  return Create(std::move(demo), nullptr, data, out, err);
}

}  // namespace service
