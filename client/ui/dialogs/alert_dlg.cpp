#include "client/ui/dialogs/alert_dlg.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

constexpr const char* kUserControls[] = {"User_image", "User_alerttext", "User_Url"};

bool IsFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The image attribute of a picture file; empty when its name cannot be written as one (a quote and
// an equals sign together would read as attributes of their own).
std::string ImageOfFile(const std::string& path) {
  if (path.find('\'') == std::string::npos) return "file='" + path + "'";
  if (path.find('=') == std::string::npos) return path;
  return {};
}

}  // namespace

CAlertDlg::CAlertDlg(ClientContext& context, std::string kind, const UserRecord* user, int slot, int count)
    : context_(context), kind_(std::move(kind)), slot_(std::max(slot, 0)), count_(count) {
  if (user) {
    hasUser_ = true;
    pictureFile_ = UserStore::PictureFile(context.core.ProgramFolder(), *user);
    homePage_ = context.MemberHome(*user);
  }
}

POINT CAlertDlg::PlaceOf(SIZE window, int slot) {
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int x = GetSystemMetrics(SM_CXSCREEN) - window.cx;
  int y = work.bottom - (window.cy + 1) * std::max(slot, 0) - window.cy;
  return POINT{x, y};
}

bool CAlertDlg::OnSkinReady() {
  if (kind_ == kUploadSuccess || kind_ == kUploadFail) {
    ShowResult(kind_ == kUploadSuccess);
    context_.core.StoreEveryUser();
  } else {
    ShowReminder();
  }
  SetTimer(*this, kCloseTimer, kShowMs);
  RECT rc{};
  GetWindowRect(*this, &rc);
  SIZE size{rc.right - rc.left, rc.bottom - rc.top};
  POINT at = PlaceOf(size, slot_);
  MoveWindow(*this, at.x, at.y, size.cx, size.cy);
  return true;
}

void CAlertDlg::ShowReminder() {
  if (CControlUI* image = Manager().FindControl("User_image"); image && IsFile(pictureFile_)) {
    if (std::string attribute = ImageOfFile(pictureFile_); !attribute.empty()) image->SetBkImage(CStdString(attribute));
  }
  if (CControlUI* text = Manager().FindControl("User_alerttext")) {
    text->SetText(CStdString("有" + std::to_string(count_) + "条新提醒！"));
  }
  Show("User_image", true);
  Show("User_alerttext", true);
  // Without a user there is no page to look at.
  Show("User_Url", hasUser_);
  for (const char* c : {"successimage", "successtext", "failimage", "failtext"}) Show(c, false);
}

void CAlertDlg::ShowResult(bool success) {
  for (const char* c : kUserControls) Show(c, false);
  Show("successimage", success);
  Show("successtext", success);
  Show("failimage", !success);
  Show("failtext", !success);
}

void CAlertDlg::Show(const char* control, bool shown) {
  if (CControlUI* c = Manager().FindControl(control)) c->SetVisible(shown);
}

LRESULT CAlertDlg::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_TIMER && wParam == kCloseTimer) {
    handled = true;
    FadeAndClose();
  }
  return 0;
}

void CAlertDlg::FadeAndClose() {
  if (closing_) return;
  closing_ = true;
  HWND self = GetHWND();
  KillTimer(self, kCloseTimer);
  AnimateWindow(self, kFadeMs, AW_HIDE | AW_BLEND);
  // The fade runs the loop: the window may have gone with its owner meanwhile, and this object with it.
  if (IsWindow(self)) Close();
}

void CAlertDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "closebtn") {
    FadeAndClose();
  } else if (name == "User_Url" && !homePage_.empty()) {
    OpenPage(homePage_);
  }
}

void RaiseAlert(ClientContext& context, std::string_view kind, const UserRecord* user, int slot, int count) {
  auto* alert = toolkit::OpenWindow<CAlertDlg>(
      context.mainWindow, "AlertDlg", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
      RECT{}, context, std::string(kind), user, slot, count);
  if (alert) alert->ShowWindow(true, false);
}
