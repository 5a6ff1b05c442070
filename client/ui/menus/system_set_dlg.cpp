#include "client/ui/menus/system_set_dlg.h"

#include <array>

#include "client/core/settings/settings_fields.h"
#include "platform/codepage.h"
#include "toolkit/desktop/desktop.h"

namespace {

constexpr std::string_view kPortEdit = "代理端口";
constexpr int kGeneralPage = 0;
constexpr int kProxyPage = 1;
constexpr unsigned kMaxPort = 65535;

// True when one of rows shows its value in the control named name.
template <typename Row, size_t N>
bool Among(const std::array<Row, N>& rows, std::string_view name) {
  for (const Row& row : rows) {
    if (row.control == name) return true;
  }
  return false;
}

}  // namespace

bool CSystemSetDlg::IsProxyPort(std::string_view port) {
  if (port.empty()) return true;
  unsigned value = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > kMaxPort) return false;
  }
  return value > 0;
}

COptionUI* CSystemSetDlg::Option(std::string_view name) const { return Manager().FindControlAs<COptionUI>(name); }

CEditUI* CSystemSetDlg::Edit(std::string_view name) const { return Manager().FindControlAs<CEditUI>(name); }

bool CSystemSetDlg::IsSelected(std::string_view option) const {
  COptionUI* o = Option(option);
  return o && o->IsSelected();
}

std::string CSystemSetDlg::EditText(std::string_view name) const {
  CEditUI* edit = Edit(name);
  if (!edit) return {};
  return std::string(platform::TruncateCodePoints(edit->GetText().str(), kMaxTextChars));
}

bool CSystemSetDlg::OnSkinReady() {
  const SettingsStore& s = context_.core.settings;
  for (const SettingsFlag& flag : kSettingsFlags) {
    if (COptionUI* o = Option(flag.control)) o->Selected(s.*flag.field);
  }
  // The interval the reminder poll keeps: a value the dialog does not offer shows as the poll reads it.
  if (COptionUI* interval = Option(SettingsIntervalOf(s.TixingTime).control)) interval->Selected(true);
  for (const SettingsText& text : kSettingsTexts) {
    if (CEditUI* edit = Edit(text.control)) {
      // The port keeps the skin's own, shorter limit.
      if (text.control != kPortEdit) edit->SetMaxChar(kMaxTextChars);
      edit->SetText(CStdString(s.*text.field));
    }
  }
  EnableProxyEdits(s.UseProxy);
  EnableApply(false);
  return true;
}

void CSystemSetDlg::EnableProxyEdits(bool enable) {
  for (const SettingsText& text : kSettingsTexts) {
    if (CEditUI* edit = Edit(text.control)) edit->SetEnabled(enable);
  }
}

void CSystemSetDlg::EnableApply(bool enable) {
  if (CControlUI* apply = Manager().FindControl("应用")) apply->SetEnabled(enable);
}

void CSystemSetDlg::ShowPage(int page) {
  if (auto* tabs = Manager().FindControlAs<CTabLayoutUI>("switch")) tabs->SelectItem(page);
  if (COptionUI* tab = Option(page == kGeneralPage ? "常用设置" : "网络代理")) tab->Selected(true);
}

void CSystemSetDlg::Notify(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const std::string& name = msg.pSender->GetName().str();
  if (msg.sType == "textchanged") {
    if (Among(kSettingsTexts, name)) EnableApply(true);
    return;
  }
  if (msg.sType != "click") return;
  if (name == "启用代理") {
    // The option flips after this notification: its state now is the one before the click.
    EnableProxyEdits(!IsSelected(name));
  }
  if (Among(kSettingsFlags, name) || Among(kSettingsIntervals, name)) {
    EnableApply(true);
  } else if (name == "常用设置") {
    ShowPage(kGeneralPage);
  } else if (name == "网络代理") {
    ShowPage(kProxyPage);
  } else if (name == "确认") {
    if (Apply()) Close();
  } else if (name == "应用") {
    Apply();
  } else if (name == "取消" || name == "closebtn") {
    Close();
  }
}

bool CSystemSetDlg::Apply() {
  if (IsSelected("启用代理") && !IsProxyPort(EditText(kPortEdit))) {
    ShowPage(kProxyPage);
    toolkit::ShowMessageBox(GetHWND(), "代理端口应为1到65535之间的数字。", "系统设置", MB_OK | MB_ICONWARNING);
    if (CEditUI* edit = Edit(kPortEdit)) edit->SetFocus();
    return false;
  }
  // The entry follows the option; when it cannot be written the option is still stored as chosen.
  SettingsStore::SetStartWithDesktop(IsSelected("自动启动"));
  SettingsStore& s = context_.core.settings;
  for (const SettingsFlag& flag : kSettingsFlags) s.*flag.field = IsSelected(flag.control);
  // With no interval chosen, the longest.
  s.TixingTime = kSettingsIntervals.back().minutes;
  for (const SettingsInterval& interval : kSettingsIntervals) {
    if (IsSelected(interval.control)) {
      s.TixingTime = interval.minutes;
      break;
    }
  }
  for (const SettingsText& text : kSettingsTexts) s.*text.field = EditText(text.control);
  // The options take effect at once; a file that could not be written leaves "应用" on for a
  // second try, since nothing is told to the user.
  EnableApply(!s.Save());
  return true;
}

void RunSettingsDialog(ClientContext& context) {
  toolkit::RunModal<CSystemSetDlg>(context.mainWindow, "SystemSetSet", context);
}
