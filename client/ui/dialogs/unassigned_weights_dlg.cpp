#include "client/ui/dialogs/unassigned_weights_dlg.h"

#include <algorithm>

#include "client/ui/dialogs/quit_question_dlg.h"
#include "platform/number_text.h"
#include "toolkit/desktop/desktop.h"

namespace {

// "读数3体重": a part of row 3; "读数3" alone is the row.
std::string Row(int row, const char* part = "") { return "读数" + std::to_string(row) + part; }
std::string UserChoice(int n) { return "分配用户" + std::to_string(n); }

bool HasScale(const UserRecord& user) {
  const DeviceSlot& scale = user.Slot(DeviceKind::Scale);
  return scale.bound && !scale.serial.empty();
}

}  // namespace

std::pair<std::string, std::string> CUnassignedWeightsDlg::DateAndTime(const WeightRecord& reading) {
  // "%d-%02d-%02d-%02d-%02d-%02d": the last three fields are the time.
  const std::string& exact = reading.exacttime;
  size_t cut = exact.size();
  for (int dashes = 0; dashes < 3 && cut != std::string::npos && cut > 0; ++dashes) cut = exact.rfind('-', cut - 1);
  if (cut == std::string::npos || cut == 0) return {reading.time, ""};
  std::string time = exact.substr(cut + 1);
  std::replace(time.begin(), time.end(), '-', ':');
  return {exact.substr(0, cut), time};
}

bool CUnassignedWeightsDlg::OnSkinReady() {
  FillUsers();
  Fill();
  return true;
}

int CUnassignedWeightsDlg::Pages() const {
  int count = static_cast<int>(context_.core.held.Unassigned().size());
  return std::max(1, (count + kRowsPerPage - 1) / kRowsPerPage);
}

std::optional<size_t> CUnassignedWeightsDlg::ReadingAt(int row) const {
  size_t count = context_.core.held.Unassigned().size();
  size_t shown = static_cast<size_t>(page_ * kRowsPerPage + row - 1);
  // Newest first.
  if (shown >= count) return std::nullopt;
  return count - 1 - shown;
}

void CUnassignedWeightsDlg::Fill() {
  page_ = std::clamp(page_, 0, Pages() - 1);
  for (int row = 1; row <= kRowsPerPage; ++row) {
    std::optional<size_t> index = ReadingAt(row);
    if (auto* option = Manager().FindControlAs<COptionUI>(Row(row, "已选择"))) option->Selected(false);
    CControlUI* box = Manager().FindControl(Row(row));
    if (!box) continue;
    box->SetVisible(index.has_value());
    if (!index) continue;
    const WeightRecord& reading = context_.core.held.Unassigned()[*index];
    auto [date, time] = DateAndTime(reading);
    if (CControlUI* c = Manager().FindControl(Row(row, "日期"))) c->SetText(CStdString(date));
    if (CControlUI* c = Manager().FindControl(Row(row, "时间"))) c->SetText(CStdString(time));
    if (CControlUI* c = Manager().FindControl(Row(row, "体重"))) {
      c->SetText(CStdString(platform::FixedText(reading.weight, 1) + " kg"));
    }
  }
  if (CControlUI* c = Manager().FindControl("页码")) {
    c->SetText(CStdString("第 " + std::to_string(page_ + 1) + "/" + std::to_string(Pages()) + " 页"));
  }
  if (CControlUI* c = Manager().FindControl("上一页")) c->SetEnabled(page_ > 0);
  if (CControlUI* c = Manager().FindControl("下一页")) c->SetEnabled(page_ + 1 < Pages());
  UpdateButtons();
}

void CUnassignedWeightsDlg::FillUsers() {
  const UserList& users = context_.core.users;
  bool any = false;
  for (int n = 1; n <= kUserChoices; ++n) {
    auto* option = Manager().FindControlAs<COptionUI>(UserChoice(n));
    if (!option) continue;
    size_t index = static_cast<size_t>(n - 1);
    bool present = index < users.size();
    option->SetVisible(present);
    if (!present) continue;
    const UserRecord& user = *users[index];
    option->SetText(CStdString(user.uname.empty() ? user.account : user.uname));
    option->SetEnabled(HasScale(user));
    option->SetToolTip(HasScale(user) ? CStdString("分配给" + user.uname) : CStdString("该用户没有绑定健康秤"));
    any = any || HasScale(user);
  }
  if (CControlUI* none = Manager().FindControl("无可分配用户")) none->SetVisible(!any);
}

std::optional<size_t> CUnassignedWeightsDlg::Chosen() const {
  for (int row = 1; row <= kRowsPerPage; ++row) {
    auto* option = Manager().FindControlAs<COptionUI>(Row(row, "已选择"));
    if (option && option->IsSelected() && option->IsVisible()) return ReadingAt(row);
  }
  return std::nullopt;
}

std::optional<size_t> CUnassignedWeightsDlg::ChosenUser() const {
  for (int n = 1; n <= kUserChoices; ++n) {
    auto* option = Manager().FindControlAs<COptionUI>(UserChoice(n));
    size_t index = static_cast<size_t>(n - 1);
    if (option && option->IsSelected() && option->IsVisible() && option->IsEnabled() &&
        index < context_.core.users.size()) {
      return index;
    }
  }
  return std::nullopt;
}

void CUnassignedWeightsDlg::UpdateButtons() {
  bool chosen = Chosen().has_value();
  if (CControlUI* c = Manager().FindControl("分配")) c->SetEnabled(chosen && ChosenUser().has_value());
  if (CControlUI* c = Manager().FindControl("丢弃")) c->SetEnabled(chosen);
}

void CUnassignedWeightsDlg::Give() {
  std::optional<size_t> index = Chosen();
  std::optional<size_t> user = ChosenUser();
  if (!index || !user) return;
  if (context_.core.engine.Running()) {
    ChangeMade(*this, UserChange::PassRunning);
    return;
  }
  if (!context_.core.GiveUnassigned(*index, *user)) {
    toolkit::ShowMessageBox(*this, "无法保存用户文件，读数仍保留在未分配列表中。请检查磁盘空间后再试。", "Vymera同步软件",
                            MB_OK | MB_ICONERROR);
    return;
  }
  ++result_.given;
  Fill();
}

void CUnassignedWeightsDlg::Discard() {
  std::optional<size_t> index = Chosen();
  if (!index || !AskQuestion(*this, "丢弃读数")) return;
  // The question ran the loop: the list may have changed meanwhile, so the choice is read again.
  index = Chosen();
  if (!index) return;
  if (!context_.core.held.Discard(*index)) {
    toolkit::ShowMessageBox(*this, "无法保存未分配读数列表，读数没有丢弃。请检查磁盘空间后再试。", "Vymera同步软件",
                            MB_OK | MB_ICONERROR);
    return;
  }
  ++result_.discarded;
  Fill();
}

void CUnassignedWeightsDlg::Notify(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (msg.sType == "selectchanged") return UpdateButtons();
  if (msg.sType != "click") return;
  if (name == "closebtn" || name == "关闭") {
    Close();
  } else if (name == "上一页") {
    --page_;
    Fill();
  } else if (name == "下一页") {
    ++page_;
    Fill();
  } else if (name == "分配") {
    Give();
  } else if (name == "丢弃") {
    Discard();
  } else {
    UpdateButtons();
  }
}

CUnassignedWeightsDlg::Result RunUnassignedDialog(ClientContext& context) {
  return toolkit::RunModal<CUnassignedWeightsDlg>(context.mainWindow, "UnassignedDlg", context);
}
