#include "client/ui/hardware/add_hardware_dlg.h"

#include <string>

#include "client/core/binding/attached_devices.h"
#include "client/ui/hardware/binding_feedback.h"

namespace {
constexpr const char* kScalePicture = "健康称2.png";
constexpr const char* kStepPicture = "计步器2.png";
constexpr const char* kScaleName = "网络健康秤";
constexpr const char* kStepName = "运动追踪器";

// The name of row n's control: prefix, the row number, suffix ("Hard2_SN").
std::string RowName(std::string_view prefix, int n, std::string_view suffix = {}) {
  return std::string(prefix) + std::to_string(n) + std::string(suffix);
}

size_t Index(DeviceKind kind) { return static_cast<size_t>(kind); }
}  // namespace

bool CAddHardWareDlg::OnSkinReady() { return userIndex_ < context_.core.users.size(); }

COptionUI* CAddHardWareDlg::RowOption(int row) const {
  return Manager().FindControlAs<COptionUI>(RowName("SelectHard", row));
}

void CAddHardWareDlg::Show(std::string_view name, bool shown) const {
  if (CControlUI* control = Find(name)) control->SetVisible(shown);
}

void CAddHardWareDlg::SetButtonImages(std::string_view name) const {
  auto* button = Manager().FindControlAs<CButtonUI>(name);
  if (!button) return;
  button->SetNormalImage("okbtn.png");
  button->SetHotImage("okbtn_over.png");
  button->SetPushedImage("okbtn_push.png");
  button->SetDisabledImage("okbtn_disable.png");
  // The blue images carry the primary buttons' white text.
  button->SetTextColor(0xFFFFFFFF);
}

void CAddHardWareDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "取消") {
    Close();
  } else if (name == "hardset") {
    result_.openSettings = true;
    Close();
  } else if (name == "下一步") {
    OnNext();
  } else {
    for (int row = 1; row <= kRows; ++row) {
      if (name == RowName("SelectHard", row)) OnRowClicked(row);
    }
  }
}

// The click comes before the option flips: "下一步" goes with whether any row stays chosen once
// it has.
void CAddHardWareDlg::OnRowClicked(int clicked) {
  bool anyChosen = false;
  for (int row = 1; row <= rowCount_; ++row) {
    COptionUI* option = RowOption(row);
    if (!option) continue;
    bool chosen = option->IsSelected();
    if (row == clicked) chosen = !chosen;
    anyChosen = anyChosen || chosen;
  }
  if (CControlUI* next = Find("下一步")) next->SetEnabled(anyChosen);
}

void CAddHardWareDlg::OnNext() {
  auto* pages = Manager().FindControlAs<CTabLayoutUI>("switch");
  if (!pages) return;
  switch (pages->GetCurSel()) {
    case kIntroPage:
      if (CControlUI* next = Find("下一步")) next->SetEnabled(false);
      Show("硬件1", false);
      Show("硬件2", false);
      SetButtonImages("下一步");
      ShowAttachedDevices();
      pages->SelectItem(kListPage);
      break;
    case kListPage:
      if (BindChosen()) ShowResultPage();
      break;
    default:
      break;
  }
}

void CAddHardWareDlg::ShowAttachedDevices() {
  ClientCore& core = context_.core;
  for (const AttachedDevice& device : ListAttachedDevices(core.pedometer, core.scale, core.kit)) {
    if (rowCount_ == kRows) break;
    int row = ++rowCount_;
    codes_[Index(device.kind)] = device.code;
    bool scale = device.kind == DeviceKind::Scale;
    if (!device.serialText.empty()) {
      if (CControlUI* serial = Find(RowName("Hard", row, "_SN"))) serial->SetText(CStdString(device.serialText));
    }
    if (COptionUI* option = RowOption(row)) option->SetTag(static_cast<uintptr_t>(device.kind));
    if (CControlUI* picture = Find(RowName("Hard", row, "_image")))
      picture->SetBkImage(scale ? kScalePicture : kStepPicture);
    if (CControlUI* title = Find(RowName("Hard", row, "_Name"))) title->SetText(scale ? kScaleName : kStepName);
    Show(RowName("硬件", row), true);
  }
  if (rowCount_ > 0) {
    Show("无硬件连接", false);
    Show("down_list_tab", true);
  }
  auto* list = Manager().FindControlAs<CContainerUI>("down_list_tab");
  for (int row = kRows; list && row > rowCount_; --row) {
    if (CControlUI* unused = Find(RowName("硬件", row))) list->Remove(unused);
  }
}

bool CAddHardWareDlg::BindChosen() {
  boundNow_ = {};
  DeviceBinding binding = BindingOf(context_);
  bool refused = false;
  for (int row = rowCount_; row >= 1 && !refused; --row) {
    COptionUI* option = RowOption(row);
    if (!option || !option->IsSelected() || option->GetTag() > Index(DeviceKind::Pace700)) continue;
    auto kind = static_cast<DeviceKind>(option->GetTag());
    BindStep step;
    UserChange change = context_.core.changes.Edit(
        userIndex_, [&](UserRecord& user) { step = binding.Bind(kind, user, codes_[Index(kind)]); });
    if (!ChangeMade(GetHWND(), change)) {
      refused = true;
      break;
    }
    if (step.result == BindResult::Bound) boundNow_[Index(kind)] = true;
    ShowBindingNotice(GetHWND(), step.notice);
    refused = step.result == BindResult::Refused;
  }
  bool anyBound = boundNow_[0] || boundNow_[1] || boundNow_[2];
  // What the service took is kept in the file at once, whether or not the page moves on.
  if (anyBound && userIndex_ < context_.core.users.size()) context_.core.StoreUser(*context_.core.users[userIndex_]);
  // Without any binding there is no result to show: the messages told why, the list stays.
  return !refused && anyBound;
}

void CAddHardWareDlg::ShowResultPage() {
  bool step = boundNow_[Index(DeviceKind::Pedometer)] || boundNow_[Index(DeviceKind::Pace700)];
  bool scale = boundNow_[Index(DeviceKind::Scale)];
  bool both = step && scale;
  Show("SuccessScale_image", both);
  Show("SuccessStep_image", both);
  Show("Success_image", !both);
  if (!both) {
    CControlUI* picture = Find("Success_image");
    if (step) {
      if (picture) picture->SetBkImage(kStepPicture);
      // The settings behind "hardset" are the scale's.
      Show("label1", false);
      Show("label2", false);
      Show("hardset", false);
    } else if (scale && picture) {
      picture->SetBkImage(kScalePicture);
    }
  }
  Show("下一步", false);
  if (auto* pages = Manager().FindControlAs<CTabLayoutUI>("switch")) pages->SelectItem(kResultPage);
  SetButtonImages("取消");
}

CAddHardWareDlg::Result RunAddHardwareDialog(ClientContext& context, size_t userIndex) {
  return toolkit::RunModal<CAddHardWareDlg>(context.mainWindow, "AddHardWare", context, userIndex);
}
