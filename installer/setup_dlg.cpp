#include "installer/setup_dlg.h"

#include <cstdio>

#include "installer/finish_options.h"
#include "installer/folder_text.h"
#include "installer/install_failure_text.h"
#include "installer/quit_question_dlg.h"
#include "installer/installer_messages.h"
#include "platform/paths.h"
#include "toolkit/desktop/desktop.h"

namespace {

enum Pages { kWelcome = 0, kFolder = 1, kInstalling = 2, kFinishing = 3, kFailure = 4 };

constexpr const char* kProgressFormat = "正在安装，当前进度%d%%...";
constexpr const char* kBadFolder = "请输入以“/”开头的完整安装目录，例如 ~/.local/share/Vymera";

}  // namespace

// Posts by window handle, which stays safe from the install thread whatever happens to the window.
class CSetupDlg::Poster : public platform::MessageTarget {
 public:
  explicit Poster(HWND hwnd) : hwnd_(hwnd) {}
  bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override {
    return ::PostMessage(hwnd_, message, wParam, lParam);
  }

 private:
  HWND hwnd_;
};

CSetupDlg::CSetupDlg(Setup setup) : setup_(std::move(setup)) {}

CSetupDlg::~CSetupDlg() = default;

bool CSetupDlg::OnSkinReady() {
  finished_ = false;
  if (CControlUI* folder = Manager().FindControl("setupdictory")) folder->SetText(CStdString(platform::ForPeople(setup_.folder)));
  UpdateFreeSpace();
  // Starting with the session stays off unless the user asks for it.
  if (auto* autoStart = dynamic_cast<COptionUI*>(Manager().FindControl("pcautoruun"))) autoStart->Selected(false);
  // What this desktop cannot do is not offered.
  if (!HasQuickLaunch()) Show("SelectQuickStart", false);
  if (!kCanSetHomePage) Show("sethomepage", false);
  return true;
}

LRESULT CSetupDlg::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (msg == installer_messages::kMsgInstallProgress) {
    ShowProgress(wParam, lParam);
    handled = true;
  } else if (msg == installer_messages::kMsgInstallFinished) {
    ShowFinished(wParam != 0);
    handled = true;
  } else if (msg == WM_CLOSE) {
    // The desktop's own close request is the close button's.
    Quit();
    handled = true;
  }
  return 0;
}

void CSetupDlg::Notify(TNotifyUI& msg) {
  if (!msg.pSender) return;
  if (msg.sType == "click") {
    OnClick(msg.pSender->GetName());
  } else if (msg.sType == "textchanged") {
    UpdateFreeSpace();
  }
}

void CSetupDlg::OnClick(const CStdString& name) {
  if (name == "下一步") {
    if (Page() != kWelcome) return;
    Show("安装", true);
    Show("上一步", true);
    GoToPage(kFolder);
  } else if (name == "安装") {
    // Once the installation runs it is neither started again nor left by going back.
    if (Page() == kFolder && !job_) StartInstall();
  } else if (name == "上一步") {
    if (failed_) return BackToFolder();
    if (Page() == kInstalling || job_) return;
    GoToPage(kWelcome);
    Show("上一步", false);
    Show("安装", false);
    Show("下一步", true);
  } else if (name == "MinBtn") {
    ::ShowWindow(GetHWND(), SW_MINIMIZE);
  } else if (name == "browsebtn") {
    Browse();
  } else if (name == "完成") {
    Finish();
  } else if (name == "取消" || name == "closebtn") {
    Quit();
  }
}

int CSetupDlg::Page() const {
  auto* tabs = dynamic_cast<CTabLayoutUI*>(Manager().FindControl("switch"));
  return tabs ? tabs->GetCurSel() : -1;
}

void CSetupDlg::GoToPage(int page) {
  if (auto* tabs = dynamic_cast<CTabLayoutUI*>(Manager().FindControl("switch"))) tabs->SelectItem(page);
}

void CSetupDlg::Show(const char* control, bool visible) {
  if (CControlUI* c = Manager().FindControl(control)) c->SetVisible(visible);
}

bool CSetupDlg::Selected(const char* option) const {
  auto* o = dynamic_cast<COptionUI*>(Manager().FindControl(option));
  return o && o->IsSelected();
}

std::string CSetupDlg::FolderText() const {
  CControlUI* folder = Manager().FindControl("setupdictory");
  return folder ? folder->GetText().str() : std::string();
}

void CSetupDlg::UpdateFreeSpace() {
  if (CControlUI* line = Manager().FindControl("diskinfo")) {
    line->SetText(CStdString(FreeSpaceLine(FolderText(), *setup_.freeSpace)));
  }
}

void CSetupDlg::Browse() {
  std::optional<std::string> picked = toolkit::BrowseForFolder(GetHWND(), "浏览文件夹：");
  if (!picked) return;
  if (CControlUI* folder = Manager().FindControl("setupdictory")) folder->SetText(CStdString(platform::ForPeople(*picked)));
  UpdateFreeSpace();
}

void CSetupDlg::Tell(const std::string& text) {
  toolkit::ShowMessageBox(GetHWND(), CStdString(text), kWindowName, MB_OK | MB_ICONWARNING);
}

void CSetupDlg::StartInstall() {
  std::optional<std::string> folder = FolderFromText(FolderText());
  if (!folder) {
    Tell(kBadFolder);
    return;
  }
  // A client that could not start is worse than none: the missing packages are named instead.
  RuntimeCheck check = CheckRuntime(*setup_.libraries);
  if (!check.Passed()) {
    Tell(RuntimeCheckText(check));
    return;
  }
  InstallRequest request{*folder, Selected("SelectDesktopIcon"), HasQuickLaunch() && Selected("SelectQuickStart")};
  GoToPage(kInstalling);
  poster_ = std::make_unique<Poster>(GetHWND());
  job_ = std::make_unique<InstallJob>(std::move(request), setup_.places, *poster_);
  job_->Start();
}

void CSetupDlg::ShowProgress(WPARAM step, LPARAM steps) {
  if (steps <= 0 || step > static_cast<WPARAM>(steps)) return;
  if (auto* bar = dynamic_cast<CProgressUI*>(Manager().FindControl("setupprogress"))) {
    bar->SetMaxValue(static_cast<int>(steps));
    bar->SetValue(static_cast<int>(step));
  }
  int percent = static_cast<int>(static_cast<long long>(step) * 100 / steps);
  if (percent < 1) return;
  char text[96];
  std::snprintf(text, sizeof text, kProgressFormat, percent);
  if (CControlUI* status = Manager().FindControl("updatetext")) status->SetText(text);
}

void CSetupDlg::ShowFinished(bool failed) {
  if (!job_) return;
  const InstallResult& result = job_->Result();
  if (failed || !result.Ok()) {
    std::string text = InstallFailureText(result, job_->Folder());
    // The user's own stop ends Setup; nothing more is shown for it.
    if (!text.empty()) ShowFailure(text);
    return;
  }
  GoToPage(kFinishing);
  for (const char* button : {"安装", "上一步", "取消", "下一步"}) Show(button, false);
  Show("完成", true);
  finished_ = true;
}

void CSetupDlg::ShowFailure(const std::string& text) {
  if (CControlUI* line = Manager().FindControl("failtext")) line->SetText(CStdString(text));
  GoToPage(kFailure);
  for (const char* button : {"安装", "下一步", "完成"}) Show(button, false);
  Show("上一步", true);
  Show("取消", true);
  failed_ = true;
}

void CSetupDlg::BackToFolder() {
  job_.reset();
  failed_ = false;
  GoToPage(kFolder);
  Show("安装", true);
}

void CSetupDlg::Finish() {
  FinishOptions options;
  options.homePage = kCanSetHomePage && Selected("sethomepage");
  options.autoStart = Selected("pcautoruun");
  options.startNow = Selected("nowautoruun");
  std::string problem = ApplyFinishOptions(options, job_ ? job_->ClientPath() : std::string());
  if (!problem.empty()) Tell(problem);
  setup_.end();
}

void CSetupDlg::Quit() {
  // After a failure there is nothing left to finish, so nothing to ask about.
  if (finished_ || failed_) return setup_.end();
  if (!AskSetupQuestion(GetHWND(), CQuitQuestionDlg::kQuitMode)) return;
  // The step under way ends first, so that no half-written file is left behind.
  if (job_) job_->Stop();
  setup_.end();
}
