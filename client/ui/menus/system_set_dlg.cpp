#include "client/ui/menus/system_set_dlg.h"

#include <array>

#include "client/core/reminders/reminder_schedule.h"
#include "platform/codepage.h"
#include "toolkit/desktop/desktop.h"

namespace {

constexpr std::array<std::string_view, 5> kOnOffOptions{"自动启动", "退出时弹出确认窗口", "自动升级软件", "启用代理",
                                                        "弹出同步提示窗口"};
constexpr std::array<std::string_view, 3> kIntervalOptions{"15分钟", "30分钟", "60分钟"};
constexpr std::array<std::string_view, 4> kProxyEdits{"代理地址", "代理端口", "用户名", "密码"};
constexpr int kGeneralPage = 0;
constexpr int kProxyPage = 1;
constexpr unsigned kMaxPort = 65535;

template <size_t N>
bool Among(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::string_view n : names) {
    if (n == name) return true;
  }
  return false;
}

std::string_view IntervalOption(int minutes) {
  // The interval the reminder poll keeps: a value the dialog does not offer shows as the poll reads it.
  minutes = ReminderSchedule::IntervalMinutes(minutes);
  if (minutes == 30) return "30分钟";
  if (minutes == 60) return "60分钟";
  return "15分钟";
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
  const std::array<bool, 5> values{s.AutoStart, s.ShowCloseTip, s.AutoUpdate, s.UseProxy, s.ShowUpdateWindow};
  for (size_t i = 0; i < kOnOffOptions.size(); ++i) {
    if (COptionUI* o = Option(kOnOffOptions[i])) o->Selected(values[i]);
  }
  if (COptionUI* interval = Option(IntervalOption(s.TixingTime))) interval->Selected(true);
  const std::array<const std::string*, 4> texts{&s.proxyAddress, &s.proxyPort, &s.proxyUserName, &s.proxyPassword};
  for (size_t i = 0; i < kProxyEdits.size(); ++i) {
    if (CEditUI* edit = Edit(kProxyEdits[i])) {
      // The port keeps the skin's own, shorter limit.
      if (kProxyEdits[i] != "代理端口") edit->SetMaxChar(kMaxTextChars);
      edit->SetText(CStdString(*texts[i]));
    }
  }
  EnableProxyEdits(s.UseProxy);
  EnableApply(false);
  return true;
}

void CSystemSetDlg::EnableProxyEdits(bool enable) {
  for (std::string_view name : kProxyEdits) {
    if (CEditUI* edit = Edit(name)) edit->SetEnabled(enable);
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
    if (Among(kProxyEdits, name)) EnableApply(true);
    return;
  }
  if (msg.sType != "click") return;
  if (name == "启用代理") {
    // The option flips after this notification: its state now is the one before the click.
    EnableProxyEdits(!IsSelected(name));
  }
  if (Among(kOnOffOptions, name) || Among(kIntervalOptions, name)) {
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
  std::string port = EditText("代理端口");
  if (IsSelected("启用代理") && !IsProxyPort(port)) {
    ShowPage(kProxyPage);
    toolkit::ShowMessageBox(GetHWND(), "代理端口应为1到65535之间的数字。", "系统设置", MB_OK | MB_ICONWARNING);
    if (CEditUI* edit = Edit("代理端口")) edit->SetFocus();
    return false;
  }
  // The entry follows the option; when it cannot be written the option is still stored as chosen.
  SettingsStore::SetStartWithDesktop(IsSelected("自动启动"));
  SettingsStore& s = context_.core.settings;
  s.AutoStart = IsSelected("自动启动");
  s.ShowCloseTip = IsSelected("退出时弹出确认窗口");
  s.UseProxy = IsSelected("启用代理");
  s.AutoUpdate = IsSelected("自动升级软件");
  s.ShowUpdateWindow = IsSelected("弹出同步提示窗口");
  s.TixingTime = IsSelected("15分钟") ? 15 : IsSelected("30分钟") ? 30 : 60;
  s.proxyAddress = EditText("代理地址");
  s.proxyPort = std::move(port);
  s.proxyUserName = EditText("用户名");
  s.proxyPassword = EditText("密码");
  // The options take effect at once; a file that could not be written leaves "应用" on for a
  // second try, since nothing is told to the user.
  EnableApply(!s.Save());
  return true;
}

void RunSettingsDialog(ClientContext& context) {
  toolkit::RunModal<CSystemSetDlg>(context.mainWindow, "SystemSetSet", context);
}
