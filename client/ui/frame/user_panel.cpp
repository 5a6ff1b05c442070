#include "client/ui/frame/user_panel.h"

#include <array>
#include <vector>

#include "client/core/reminders/reminder_reply.h"
#include "client/ui/frame/slot_texts.h"

namespace {
constexpr uint32_t kSelectedText = 0xFF5D5D5D;
constexpr uint32_t kOtherText = 0xFFA2CBE6;
constexpr const char* kScaleName = "网络健康秤";
constexpr const char* kTrackerName = "运动追踪器";

std::string Slot(int slot, const char* part) { return "User" + std::to_string(slot) + part; }
std::string Entry(const char* before, int entry, const char* after = "") {
  return before + std::to_string(entry) + after;
}

// How an entry shows a device kind.
struct EntryLook {
  const char* picture;
  const char* name;
  const char* connected;
  const char* notConnected;
};
EntryLook LookOf(DeviceKind kind) {
  if (kind == DeviceKind::Scale)
    return {"file='健康称2.png'", kScaleName, "网络健康秤已经连接", "网络健康秤没有连接到电脑"};
  return {"file='计步器2.png'", kTrackerName, "运动追踪器已经连接", "运动追踪器没有连接到电脑"};
}

// The seven options of the account page and the record's fields behind them.
struct AccountOption {
  const char* control;
  bool UserRecord::*field;
};
constexpr std::array<AccountOption, 7> kAccountOptions{{
    {"自动登录本帐号", &UserRecord::autologin},
    {"退出软件后清除本帐号", &UserRecord::autoclear},
    {"好友提醒", &UserRecord::haiyoutixing},
    {"邀请提醒", &UserRecord::yaoqingtixing},
    {"私信提醒", &UserRecord::sixingtixing},
    {"回复提醒", &UserRecord::huifutixing},
    {"通知提醒", &UserRecord::tongzhitixing},
}};
}  // namespace

UserRecord* UserPanel::SelectedUser() const {
  const UserList& users = context_.core.users;
  if (selected_ < 1 || static_cast<size_t>(selected_) > users.size()) return nullptr;
  return users[SelectedIndex()].get();
}

void UserPanel::SetEnabled(const char* name, bool enabled) const {
  if (CControlUI* c = Find(name)) c->SetEnabled(enabled);
}

void UserPanel::SetText(const std::string& name, const std::string& text) const {
  if (CControlUI* c = Find(name)) c->SetText(CStdString(text));
}

void UserPanel::SetBk(const std::string& name, const std::string& image) const {
  if (CControlUI* c = Find(name)) c->SetBkImage(CStdString(image));
}

void UserPanel::SetTab(int page) const {
  if (auto* tabs = Find<CTabLayoutUI>("switch")) tabs->SelectItem(page);
}

void UserPanel::ShowRememberedTab() { SetTab(lastTab_); }

void UserPanel::SetReminderText(int count) {
  SetText("用户提醒", count >= 0 ? ReminderLabelText(count) : ReminderLabelText());
}

void UserPanel::RebuildSlots() {
  for (int slot = 1; slot <= kMaxSlots; ++slot) {
    if (CControlUI* c = Find(Slot(slot, ""))) c->SetVisible(false);
  }
  if (CControlUI* add = Find("AddUser")) add->SetVisible(false);
  // The buttons of the last rebuild go: a long session rebuilds often.
  for (CControlUI* button : menuButtons_) {
    if (auto* parent = dynamic_cast<CContainerUI*>(button->GetParent())) parent->Remove(button);
  }
  menuButtons_.clear();

  const UserList& users = context_.core.users;
  int count = static_cast<int>(std::min<size_t>(users.size(), kMaxSlots));
  for (int slot = 1; slot <= count; ++slot) {
    const UserRecord& user = *users[static_cast<size_t>(slot - 1)];
    auto* box = Find<CContainerUI>(Slot(slot, ""));
    if (!box) continue;
    box->SetVisible(true);
    SetBk(Slot(slot, "_image"), slot_texts::SelectedPicture(context_.core.UserFolder(), user.picture));
    SetText(Slot(slot, "_Name"), user.uname);
    auto* menu = new CButtonUI;
    menu->ApplyAttributeList(CStdString(slot_texts::MenuButtonAttributes(slot, user.uname)));
    if (box->Add(menu)) menuButtons_.push_back(menu);
    SetBk(Slot(slot, "_Level"), slot_texts::LevelImage(slot_texts::LevelOf(user.level), 255));
    SetText(Slot(slot, "_State"), user.loggedIn ? "已登录" : "未登录");
  }
  if (count < kMaxSlots) {
    if (CControlUI* add = Find("AddUser")) {
      add->SetPos(CRect(count * 181 + 16, 32, count * 183 + 199, 121));
      add->SetVisible(true);
    }
  }
  if (count == 0) {
    SetTab(kNoUserPage);
    SetReminderText(-1);
  }
}

void UserPanel::SetSlotColours(int slot, uint32_t argb) const {
  for (const char* part : {"_Name", "_State"}) {
    if (auto* label = Find<CLabelUI>(Slot(slot, part))) label->SetTextColor(argb);
  }
}

bool UserPanel::ShowSelected(int slot) {
  const UserList& users = context_.core.users;
  if (slot < 1 || static_cast<size_t>(slot) > users.size() || slot > kMaxSlots) return false;
  for (int i = 1; i <= static_cast<int>(std::min<size_t>(users.size(), kMaxSlots)); ++i) {
    const UserRecord& user = *users[static_cast<size_t>(i - 1)];
    bool chosen = i == slot;
    SetBk(Slot(i, "_image"), chosen ? slot_texts::SelectedPicture(context_.core.UserFolder(), user.picture)
                                    : slot_texts::UnselectedPicture(context_.core.UserFolder(), user.picture));
    SetSlotColours(i, chosen ? kSelectedText : kOtherText);
    SetBk(Slot(i, "_Level"), slot_texts::LevelImage(slot_texts::LevelOf(user.level), chosen ? 255 : 134));
    if (auto* option = Find<COptionUI>(Slot(i, "Btn"))) option->Selected(chosen);
  }
  selected_ = slot;
  SetReminderText(SelectedUser()->counts.all);
  ShowRememberedTab();
  RefreshEntries();
  RefreshAccountPage();
  return true;
}

void UserPanel::RefreshEntries() {
  UserRecord* user = SelectedUser();
  auto* tabs = Find<CTabLayoutUI>("switch");
  if (!user || (tabs && tabs->GetCurSel() == kLoggedOutPage)) return;
  if (!user->loggedIn) {
    SetBk("userlogout_image", slot_texts::SelectedPicture(context_.core.UserFolder(), user->picture));
    SetTab(kLoggedOutPage);
    return;
  }
  // Each control is set once to what it shows: this runs on every device question the frame's
  // ports answer, and a control hidden and shown again would lay out and repaint the whole window.
  std::vector<DeviceKind> bound;
  for (DeviceKind kind : {DeviceKind::Pedometer, DeviceKind::Scale, DeviceKind::Pace700})
    if (user->Slot(kind).bound) bound.push_back(kind);
  for (int entry = 1; entry <= 3; ++entry) {
    if (CControlUI* c = Find(Entry("绑定硬件", entry))) c->SetVisible(entry <= static_cast<int>(bound.size()));
  }
  if (CControlUI* none = Find("NoHardwarePinlessed")) none->SetVisible(bound.empty());

  int entry = 0;
  for (DeviceKind kind : bound) {
    const DeviceSlot& slot = user->Slot(kind);
    ++entry;
    EntryLook look = LookOf(kind);
    if (CControlUI* option = Find(Entry("硬件", entry, "已选择"))) option->SetTag(static_cast<uintptr_t>(kind));
    SetBk(Entry("硬件", entry, "图片"), look.picture);
    SetText(Entry("硬件", entry, "名称"), look.name);
    SetText(Entry("硬件", entry, "内容"), slot.updatetime);
    SetBk(Entry("硬件状态", entry, "图片"), slot.connected ? "file='勾勾.png'" : "file='停止.png'");
    SetText(Entry("硬件状态", entry, "内容"), slot.connected ? look.connected : look.notConnected);
  }
  if (entry >= 1) {
    SetEnabled("硬件设置", (EntrySelected(1) && EntryName(1) == kScaleName) || EntrySelected(2));
  } else {
    SetEnabled("解除绑定", false);
    SetEnabled("硬件设置", false);
  }
}

void UserPanel::RefreshAccountPage() {
  UserRecord* user = SelectedUser();
  if (!user) return;
  if (!user->loggedIn) {
    SetBk("userlogout_image", slot_texts::UnselectedPicture(context_.core.UserFolder(), user->picture));
    SetTab(kLoggedOutPage);
    return;
  }
  for (const AccountOption& option : kAccountOptions) {
    if (auto* c = Find<COptionUI>(option.control)) c->Selected(user->*option.field);
  }
}

void UserPanel::ReadAccountPage(UserRecord& record) const {
  for (const AccountOption& option : kAccountOptions) {
    if (auto* c = Find<COptionUI>(option.control)) record.*option.field = c->IsSelected();
  }
}

bool UserPanel::EntrySelected(int entry) const {
  auto* option = Find<COptionUI>(Entry("硬件", entry, "已选择"));
  return option && option->IsSelected();
}

std::string UserPanel::EntryName(int entry) const {
  CControlUI* name = Find(Entry("硬件", entry, "名称"));
  return name ? name->GetText().str() : std::string();
}

void UserPanel::OnEntrySelected(int entry) {
  std::string name = EntryName(entry);
  if (entry == 1 && (name == kScaleName || name == kTrackerName)) SetEnabled("硬件设置", true);
  if (entry == 2 && name == kScaleName) SetEnabled("硬件设置", true);
  if (entry == 2 && name == kTrackerName) SetEnabled("硬件设置", false);
  UserRecord* user = SelectedUser();
  SetEnabled("解除绑定", user && user->loggedIn);
}

void UserPanel::ClearEntrySelection() {
  SetEnabled("硬件设置", false);
  SetEnabled("解除绑定", false);
  for (int entry : {1, 2}) {
    if (auto* option = Find<COptionUI>(Entry("硬件", entry, "已选择"))) option->Selected(false);
  }
}

std::vector<DeviceKind> UserPanel::SelectedEntryKinds() const {
  std::vector<DeviceKind> kinds;
  for (int entry = 1; entry <= 3; ++entry) {
    auto* option = Find<COptionUI>(Entry("硬件", entry, "已选择"));
    CControlUI* row = Find(Entry("绑定硬件", entry));
    if (option && option->IsSelected() && row && row->IsVisible()) {
      kinds.push_back(static_cast<DeviceKind>(option->GetTag()));
    }
  }
  return kinds;
}
