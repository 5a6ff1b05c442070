#include "client/ui/dialogs/user_tixing_frame_wnd.h"

namespace {

struct Kind {
  const char* text;
  const char* before;  // the words before the link, after the number
  const char* link;    // the link's words, in the site's blue
  const char* button;
  const char* path;
  int ReminderCounts::*count;
};

constexpr Kind kKinds[] = {
    {"好友文字内容", "个新好友，", "查看好友", "查看好友按钮",
     "/softlogin.php?re_url=%2Ffriend.php%3Faction%3Dreqs%26type%3Dreadnew&logincode=", &ReminderCounts::fri},
    {"邀请文字内容", "个新邀请，", "查看邀请", "查看邀请按钮",
     "/softlogin.php?re_url=%2Finvit.php%3Ftype%3Dreadnew&logincode=", &ReminderCounts::ivi},
    {"私信文字内容", "条新私信，", "查看私信", "查看私信按钮",
     "/softlogin.php?re_url=%2Fsnsmsg.php%3Ftype%3Dreadnew&logincode=", &ReminderCounts::msg},
    {"回复文字内容", "条新回复，", "查看回复", "查看回复按钮",
     "/softlogin.php?re_url=%2Fusershare.php%3Faction%3Dre%26type%3Dnew&logincode=", &ReminderCounts::reshare},
    {"通知文字内容", "条新通知，", "查看通知", "查看通知按钮",
     "/softlogin.php?re_url=%2Fsnsmsg.php%3Faction%3Dsysmsg%26type%3Dnew&logincode=", &ReminderCounts::notice},
};

}  // namespace

CUserTixingFrameWnd::CUserTixingFrameWnd(ClientContext& context, const UserRecord& user)
    : context_(context), counts_(user.counts) {
  for (size_t k = 0; k < pages_.size(); ++k) pages_[k] = context.MemberPage(kKinds[k].path) + user.logincode;
}

bool CUserTixingFrameWnd::OnSkinReady() {
  for (const Kind& kind : kKinds) {
    CControlUI* text = Manager().FindControl(kind.text);
    if (!text) continue;
    // Only a number goes into the markup; the rest is the list's own.
    text->SetText(CStdString(std::to_string(counts_.*kind.count) + kind.before + "{c #0c6eaf}" + kind.link + "{/c}"));
  }
  return true;
}

void CUserTixingFrameWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  for (size_t k = 0; k < pages_.size(); ++k) {
    if (name == kKinds[k].button) {
      OpenPage(pages_[k]);
      return;
    }
  }
}

LRESULT CUserTixingFrameWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool&) {
  if (msg == WM_KILLFOCUS) {
    TellClosed();
    Close();
  } else if (msg == WM_DESTROY) {
    TellClosed();  // gone another way: with its owner, or closed by the system
  }
  return 0;
}

void CUserTixingFrameWnd::TellClosed() {
  if (told_) return;
  told_ = true;
  context_.reminderListOpen = false;
}

HWND OpenReminderList(ClientContext& context, size_t userIndex) {
  if (userIndex >= context.core.users.size()) return nullptr;
  RECT main{};
  GetWindowRect(context.mainWindow, &main);
  RECT at{main.left + CUserTixingFrameWnd::kOffsetX, main.top + CUserTixingFrameWnd::kOffsetY,
          main.left + CUserTixingFrameWnd::kOffsetX + CUserTixingFrameWnd::kWidth,
          main.top + CUserTixingFrameWnd::kOffsetY + CUserTixingFrameWnd::kHeight};
  auto* list = toolkit::OpenWindow<CUserTixingFrameWnd>(context.mainWindow, "TixingDlg",
                                                        WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
                                                        at, context, *context.core.users[userIndex]);
  if (!list) return nullptr;
  HWND hwnd = list->GetHWND();
  // The skin names its own size; the list keeps the place and size it is given.
  MoveWindow(hwnd, at.left, at.top, at.right - at.left, at.bottom - at.top);
  context.reminderListOpen = true;
  list->ShowWindow(true, true);
  SetFocus(hwnd);
  return hwnd;
}
