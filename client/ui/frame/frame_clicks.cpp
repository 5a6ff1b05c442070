#include "client/ui/frame/frame_clicks.h"

#include <map>
#include <string>

#include "client/core/users/user_store.h"
#include "client/ui/frame/user_panel.h"

namespace {

using ClickTable = std::map<std::string, FrameClickAction, std::less<>>;

ClickTable MakeTable() {
  ClickTable table{
      {"closebtn", {FrameClick::Hide}},
      {"MinBtn", {FrameClick::Minimise}},
      {"帮助菜单", {FrameClick::Help}},
      {"同步帮助", {FrameClick::Help}},
      {"下拉菜单", {FrameClick::DropDownMenu}},
      {"未分配读数", {FrameClick::Unassigned}},
      {"添加账户按钮", {FrameClick::AddUser}},
      {"已绑定硬件", {FrameClick::UserPage, UserPanel::kHardwarePage}},
      {"账户设置", {FrameClick::UserPage, UserPanel::kAccountPage}},
      {"用户提醒", {FrameClick::ReminderList}},
      {"账户设置_应用", {FrameClick::ApplyAccount}},
      {"账户设置_登录Vymera网", {FrameClick::AccountMemberSite}},
      {"登录我的Vymera", {FrameClick::MemberSite}},
      {"立即登录", {FrameClick::LogIn}},
      {"添加绑定", {FrameClick::AddBinding}},
      {"硬件设置", {FrameClick::HardwareSettings}},
      {"解除绑定", {FrameClick::Unbind}},
      {"硬件1已选择", {FrameClick::SelectEntry, 1}},
      {"硬件2已选择", {FrameClick::SelectEntry, 2}},
  };
  // Each slot's button, picture-menu button and name.
  for (int slot = 1; slot <= static_cast<int>(UserStore::kMaxUsers); ++slot) {
    std::string user = "User" + std::to_string(slot);
    table[user + "Btn"] = {FrameClick::SelectSlot, slot};
    table[user + "_Menu"] = {FrameClick::SlotMenu, slot};
    table[user + "_Name"] = {FrameClick::SlotMenu, slot};
  }
  return table;
}

}  // namespace

std::optional<FrameClickAction> FrameClickOf(std::string_view name) {
  static const ClickTable table = MakeTable();
  auto found = table.find(name);
  if (found == table.end()) return std::nullopt;
  return found->second;
}
