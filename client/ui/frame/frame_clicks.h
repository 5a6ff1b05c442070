#pragma once
// What a click on each of the main window's controls does, looked up by the control's name. Controls
// that stand for a user's slot or a hardware entry carry its number in the table, not in the name.

#include <optional>
#include <string_view>

enum class FrameClick {
  Hide,
  Minimise,
  Help,
  DropDownMenu,
  SelectSlot,     // index: the slot, from 1
  SlotMenu,       // index: the slot, from 1
  Unassigned,
  AddUser,
  UserPage,       // index: the page of the user panel's tabs (UserPanel::kHardwarePage, ...)
  ReminderList,
  ApplyAccount,
  AccountMemberSite,
  MemberSite,
  LogIn,
  AddBinding,
  HardwareSettings,
  Unbind,
  SelectEntry,    // index: the hardware entry, from 1
};

struct FrameClickAction {
  FrameClick click;
  int index = 0;
};

// The action of the control named name; nothing for a control whose click does nothing.
std::optional<FrameClickAction> FrameClickOf(std::string_view name);
