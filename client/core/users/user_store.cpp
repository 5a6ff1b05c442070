#include "client/core/users/user_store.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "client/core/users/file_aside.h"
#include "common/xml/xml_document.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/number_text.h"
#include "platform/paths.h"

namespace {

constexpr const char* kRoot = "UserList";
constexpr const char* kUser = "user_res";
// Each value is converted into a buffer of 260 bytes with its terminator.
constexpr size_t kMaxValueBytes = 259;
// The list as the installer lays it down.
constexpr std::string_view kEmptyList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<UserList>\r\n</UserList>\r\n";

// Slot order of the file's device keys: step, scale, pace700 (the record's DeviceKind order).
struct SlotKeys {
  DeviceKind kind;
  const char* pinless;
  const char* sn;
  const char* updatetime;
};
constexpr SlotKeys kSlotKeys[] = {
    {DeviceKind::Pedometer, "steppinless", "stepsn", "stepupdatetime"},
    {DeviceKind::Scale, "scalepinless", "scalesn", "scaleupdatetime"},
    {DeviceKind::Pace700, "pace700pinless", "pace700sn", "pace700updatetime"},
};

std::string_view Trimmed(std::string_view text) {
  size_t b = text.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(" \t\r\n");
  return text.substr(b, e - b + 1);
}

// Leading integer of text, 0 when there is none; out-of-range values are 0 as well.
int ToInt(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

double ToDouble(std::string_view text) { return platform::LeadingDecimal(text).value_or(0); }

// A decimal of the file. Earlier clients wrote the locale's separator, so a desktop with a decimal
// comma left "68,4" for 68.4; the file format itself never has a comma.
float StoredDecimal(std::string_view text) {
  std::string number(Trimmed(text));
  size_t comma = number.find(',');
  if (comma != std::string::npos && number.find('.') == std::string::npos) number[comma] = '.';
  return static_cast<float>(ToDouble(number));
}

std::string ValueOf(const XmlElement& parent, std::string_view name) {
  const XmlElement* child = parent.FindChild(name);
  return child ? platform::FromCodePage(child->Value()) : std::string();
}

// Answers come as UTF-8 documents.
bool AnswerText(const XmlElement& parent, std::string_view name, std::string& out) {
  const XmlElement* child = parent.FindChild(name);
  if (!child) return false;
  out = child->Value();
  return true;
}

std::unique_ptr<UserRecord> ReadUser(const XmlElement& e) {
  auto r = std::make_unique<UserRecord>();
  r->uid = ValueOf(e, "uid");
  r->logincode = ValueOf(e, "logincode");
  r->uname = ValueOf(e, "uname");
  r->account = ValueOf(e, "account");
  r->password = ValueOf(e, "password");
  r->picture = ValueOf(e, "picture");
  r->level = ValueOf(e, "level");
  auto flag = [&](const char* name) { return ValueOf(e, name) == "1"; };
  r->autologin = flag("autologin");
  r->jizhumima = flag("jizhumima");
  r->autoclear = flag("autoclear");
  r->haiyoutixing = flag("haiyoutixing");
  r->yaoqingtixing = flag("yaoqingtixing");
  r->sixingtixing = flag("sixingtixing");
  r->huifutixing = flag("huifutixing");
  r->tongzhitixing = flag("tongzhitixing");
  for (const SlotKeys& keys : kSlotKeys) {
    if (ToInt(ValueOf(e, keys.pinless)) != 1) continue;
    DeviceSlot& slot = r->Slot(keys.kind);
    slot.bound = true;
    slot.serial = ValueOf(e, keys.sn);
    slot.updatetime = ValueOf(e, keys.updatetime);
  }
  r->tixingupdatetime = ToInt(ValueOf(e, "tixingupdatetime"));
  if (const XmlElement* sw = e.FindChild("standardweight")) r->standardweight = StoredDecimal(sw->Value());
  if (const XmlElement* ws = e.FindChild("weightscope")) r->weightscope = StoredDecimal(ws->Value());
  if (const XmlElement* list = e.FindChild("datalist")) {
    for (const auto& data : list->Children()) {
      WeightRecord w;
      w.weight = StoredDecimal(data->AttributeValue("weight", ""));
      w.time = platform::FromCodePage(data->AttributeValue("time", ""));
      w.exacttime = platform::FromCodePage(data->AttributeValue("exacttime", ""));
      r->datalist.push_back(std::move(w));
    }
  }
  return r;
}

std::string Decimal1(float v) { return platform::FixedText(v, 1); }

void AddValue(XmlElement& parent, const char* name, std::string_view utf8) {
  XmlElement& child = parent.AddChild(name);
  child.SetInlineContent(true);
  std::string value = platform::ToCodePage(utf8, kMaxValueBytes);
  if (!value.empty()) child.AddText(value);
}

void WriteUser(XmlElement& list, const UserRecord& r) {
  XmlElement& e = list.AddChild(kUser);
  auto flag = [](bool on) { return on ? "1" : "0"; };
  AddValue(e, "uid", r.uid);
  AddValue(e, "logincode", r.logincode);
  AddValue(e, "uname", r.uname);
  AddValue(e, "account", r.account);
  AddValue(e, "password", r.password);
  AddValue(e, "autologin", flag(r.autologin));
  AddValue(e, "jizhumima", flag(r.jizhumima));
  AddValue(e, "picture", r.picture);
  AddValue(e, "level", r.level);
  // The file lists the scale first, then the step device, then the pace700 device.
  for (DeviceKind kind : {DeviceKind::Scale, DeviceKind::Pedometer, DeviceKind::Pace700}) {
    const SlotKeys& keys = kSlotKeys[static_cast<size_t>(kind)];
    const DeviceSlot& slot = r.Slot(kind);
    AddValue(e, keys.pinless, flag(slot.bound));
    AddValue(e, keys.sn, slot.serial);
    AddValue(e, keys.updatetime, slot.updatetime);
  }
  AddValue(e, "autoclear", flag(r.autoclear));
  AddValue(e, "haiyoutixing", flag(r.haiyoutixing));
  AddValue(e, "yaoqingtixing", flag(r.yaoqingtixing));
  AddValue(e, "sixingtixing", flag(r.sixingtixing));
  AddValue(e, "huifutixing", flag(r.huifutixing));
  AddValue(e, "tongzhitixing", flag(r.tongzhitixing));
  AddValue(e, "tixingupdatetime", std::to_string(r.tixingupdatetime));
  AddValue(e, "standardweight", Decimal1(r.standardweight));
  AddValue(e, "weightscope", Decimal1(r.weightscope));
  XmlElement& list2 = e.AddChild("datalist");
  for (const WeightRecord& w : r.datalist) {
    if (w.uploaded) continue;
    XmlElement& data = list2.AddChild("scaledata");
    data.AddAttribute("weight", Decimal1(w.weight));
    data.AddAttribute("time", platform::ToCodePage(w.time, kMaxValueBytes));
    data.AddAttribute("exacttime", platform::ToCodePage(w.exacttime, kMaxValueBytes));
  }
}

bool IsUserList(const XmlDocument& doc) { return doc.State() == XmlDocument::Read && doc.Root().Name() == kRoot; }

bool IsFile(const std::string& path) {
  // Named as UTF-8 text, so that a program folder under a Chinese user name is found on every system.
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
}

// The list file of users, or the empty list when it cannot be written.
std::string ListText(const UserList& users) {
  if (users.empty()) return std::string(kEmptyList);
  XmlDocument doc;
  doc.LoadText(kEmptyList);
  for (const auto& user : users) WriteUser(doc.Root(), *user);
  return doc.Serialize().value_or(std::string(kEmptyList));
}

// A file that loaded whole and can be written back as it stands.
bool IsSoundList(const XmlDocument& doc) { return IsUserList(doc) && doc.Serialize().has_value(); }

void ReadUsersOf(const XmlElement& root, UserList& users) {
  for (const auto& child : root.Children()) {
    if (child->Name() == kUser) users.push_back(ReadUser(*child));
  }
}

}  // namespace

UserStore::Loaded UserStore::Load(const std::string& path) {
  Loaded loaded;
  XmlDocument doc;
  doc.LoadFile(path);
  if (IsSoundList(doc)) {
    ReadUsersOf(doc.Root(), loaded.users);
    if (loaded.users.size() <= kMaxUsers) return loaded;
    // Only four accounts have a place in the window: more could be neither seen nor removed.
    loaded.users.resize(kMaxUsers);
    loaded.reason = Loaded::TooManyUsers;
  } else {
    if (!IsFile(path)) return loaded;
    // A document that read whole (another program's, or one too deep to write back) gives its
    // accounts as they are; one cut short gives those before the cut.
    if (doc.State() == XmlDocument::Read) {
      ReadUsersOf(doc.Root(), loaded.users);
    } else {
      // The complete accounts before the damage.
      if (std::optional<XmlDocument> before = ReadBeforeDamage(path, "</user_res>", kRoot)) {
        ReadUsersOf(before->Root(), loaded.users);
      }
    }
    if (loaded.users.size() > kMaxUsers) loaded.users.resize(kMaxUsers);
    loaded.reason = Loaded::Damaged;
  }
  // The original stays as it was beside the list; the list keeps what could be read of it.
  loaded.keptAside = SetFileAside(path, ListText(loaded.users)).value_or(std::string());
  return loaded;
}

UserList UserStore::LoadAll(const std::string& path) { return std::move(Load(path).users); }

bool UserStore::CreateIfMissing(const std::string& path) {
  if (platform::PathExists(path)) return IsFile(path);
  return platform::WriteFileAtomically(path, kEmptyList, platform::FileAccess::OwnerOnly);
}

bool UserStore::StoreOne(const UserRecord& record, const std::string& path, bool drop) {
  XmlDocument doc;
  doc.LoadFile(path);
  // A list that reads but cannot be written back is set aside when the client loads it.
  if (!IsUserList(doc)) {
    if (!IsFile(path) || !SetFileAside(path, kEmptyList)) return false;
    doc.LoadFile(path);
    if (!IsUserList(doc)) return false;
  }
  XmlElement& root = doc.Root();
  for (int i = root.ChildCount() - 1; i >= 0; --i) {
    XmlElement* child = root.Child(i);
    if (child->Name() != kUser) continue;
    XmlElement* uid = child->FindChild("uid");
    if (uid && platform::FromCodePage(uid->Value()) == record.uid) root.RemoveChild(i);
  }
  if (!drop) WriteUser(root, record);
  if (!doc.Save(path, platform::FileAccess::OwnerOnly)) return false;
  // The file holds passwords in plain text: a list laid down readable by all is kept from others.
  platform::RestrictToOwner(path);
  return true;
}

bool UserStore::StoreAllAtQuit(const UserList& users, const std::string& path) {
  bool all = true;
  for (const auto& user : users) all = StoreOne(*user, path, user->autoclear) && all;
  return all;
}

void UserStore::ApplyTask(UserRecord& r, double value, int unit) {
  // Goals are step counts; anything outside what an int holds after the arithmetic is no goal.
  if (!(std::fabs(value) < 1e9)) value = 0;
  int goal = static_cast<int>(std::ceil(value / 7.0));
  r.dailyGoal = r.pedometerGoal = goal;
  r.goalUnit = unit;
  if (unit == 1) {
    r.dailyGoal = static_cast<int>(std::ceil(r.dailyGoal / 3.0));
  } else if (unit == 2) {
    r.dailyGoal = static_cast<int>(std::ceil(r.dailyGoal / 20.0));
    r.goalUnit = 3;
  } else if (unit == 3) {
    r.dailyGoal = r.dailyGoal * 10;
    r.goalUnit = 2;
  }
}

void UserStore::FillFromUserInfo(UserRecord& r, const XmlElement& answer) {
  r.loggedIn = true;
  std::string text;
  auto setText = [&](const char* name, std::string& field) {
    if (AnswerText(answer, name, text) && !text.empty()) field = text;
  };
  setText("uid", r.uid);
  setText("logincode", r.logincode);
  setText("uname", r.uname);
  setText("level", r.level);
  if (AnswerText(answer, "sex", text)) r.sex = ToInt(text);
  if (AnswerText(answer, "age", text)) r.age = ToInt(text);
  if (AnswerText(answer, "heigh", text)) r.height = ToInt(text);
  if (AnswerText(answer, "weight", text)) r.weight = ToInt(text);
  if (AnswerText(answer, "stepvalue", text)) r.stepvalue = ToInt(text);
  if (AnswerText(answer, "head_url", text)) r.picture = text.empty() ? kDefaultPicture : text;

  if (const XmlElement* hards = answer.FindChild("hards")) {
    DeviceSlot& step = r.Slot(DeviceKind::Pedometer);
    DeviceSlot& scale = r.Slot(DeviceKind::Scale);
    step.serial.clear();
    scale.serial.clear();
    if (hards->ChildCount() == 0) {
      step.connected = step.bound = step.syncState = false;
      scale.connected = scale.bound = scale.syncState = false;
    }
    for (const auto& hard : hards->Children()) {
      std::string type, code;
      AnswerText(*hard, "hardtype", type);
      AnswerText(*hard, "hardcode", code);
      int kind = ToInt(type);
      if (kind < 0 || kind > 2) continue;
      DeviceSlot& slot = r.Slot(static_cast<DeviceKind>(kind));
      slot.serial = code;
      slot.bound = true;
      slot.connected = slot.syncState = false;
    }
  }
  if (const XmlElement* tasks = answer.FindChild("tasks")) {
    if (const XmlElement* task = tasks->FindChild("task")) {
      std::string value, unit;
      AnswerText(*task, "value", value);
      AnswerText(*task, "unit", unit);
      ApplyTask(r, ToDouble(value), ToInt(unit));
    }
  }
  if (const XmlElement* msgs = answer.FindChild("msgs")) {
    auto count = [&](const char* name, int& field) {
      if (AnswerText(*msgs, name, text)) field = ToInt(text);
    };
    count("all", r.counts.all);
    count("fri", r.counts.fri);
    count("ivi", r.counts.ivi);
    count("msg", r.counts.msg);
    count("reshare", r.counts.reshare);
    count("notice", r.counts.notice);
  }
}

std::string UserStore::PictureFile(const std::string& programFolder, const UserRecord& record) {
  const std::string& p = record.picture;
  if (p.empty() || p.find("://") != std::string::npos || p.find('/') != std::string::npos) return {};
  return platform::JoinPath(platform::JoinPath(programFolder, kUserFolder), p);
}
