#include "client/ui/frame/frame_window.h"

#include "client/core/version/version.h"
#include "client/ui/account/add_user_frame_wnd.h"
#include "client/ui/account/auto_login_users.h"
#include "client/ui/account/user_login_frame_wnd.h"
#include "client/ui/dialogs/message_box_wnd.h"
#include "client/ui/dialogs/quit_question_dlg.h"
#include "client/ui/dialogs/reminder_alerts.h"
#include "client/ui/dialogs/unassigned_weights_dlg.h"
#include "client/ui/dialogs/user_tixing_frame_wnd.h"
#include "client/ui/frame/frame_clicks.h"
#include "client/ui/hardware/add_hardware_dlg.h"
#include "client/ui/hardware/binding_feedback.h"
#include "client/ui/hardware/hardware_set_dlg.h"
#include "client/ui/menus/about_dlg.h"
#include "client/ui/menus/help_dlg.h"
#include "client/ui/menus/system_drop_down_wnd.h"
#include "client/ui/menus/system_set_dlg.h"
#include "client/ui/menus/user_menu_wnd.h"
#include "client/core/client_messages.h"
#include "platform/paths.h"
#include "platform/termination_signals.h"
#include "toolkit/core/backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"

namespace {
constexpr int kDropDownWidth = 112;
constexpr int kDropDownHeight = 105;
}  // namespace

CFrameWindowWnd::CFrameWindowWnd(Setup setup)
    : setup_(std::move(setup)),
      core_(std::make_unique<ClientCore>(setup_.dataFolder, *setup_.host, clock_,
                                         ClientPorts{ports_, ports_, ports_}, setup_.endpoint)),
      context_{*core_, nullptr, setup_.memberSite, setup_.companySite} {
  ports_.Attach(context_, [this] {
    if (panel_) panel_->RefreshEntries();
  });
}

CFrameWindowWnd::~CFrameWindowWnd() {
  if (signals_) toolkit::Dispatcher::Instance().GetBackend().UnwatchReadable(signals_.get());
  core_->scale.SetFrameTarget(nullptr);
}

bool CFrameWindowWnd::OnSkinReady() {
  context_.mainWindow = GetHWND();
  panel_ = std::make_unique<UserPanel>(Manager(), context_);
  history_ = std::make_unique<HistoryPage>(Manager(), context_);
  // Without the icon the client has no way back once its window is closed: nothing more is set up.
  if (!tray_.Create(GetHWND(), setup_.iconPng)) return true;
  SetIcon(kWindowIconResource);
  PostCreateSetUp();
  return true;
}

void CFrameWindowWnd::PostCreateSetUp() {
  if (CControlUI* version = Manager().FindControl("软件版本")) {
    version->SetText(CStdString("版本：" + ProgramVersion() + " beta"));
  }
  platform::EnsureFolder(core_->UserFolder());
  ShowConnectionState();
  SetTimer(*this, kDetectionTimer, kDetectionMs);
  SetTimer(*this, kSyncTimer, kSyncMs);
}

CControlUI* CFrameWindowWnd::CreateControl(LPCTSTR className) {
  if (std::string_view(className) == "HistoryPage") return HistoryPage::Build(Manager());
  if (std::string_view(className) != "ComputerExamine") return nullptr;
  auto* box = new CContainerUI;
  CDialogBuilder builder;
  builder.Create("ComputerExamine.xml", nullptr, nullptr, &Manager(), box);  // stays empty when it fails
  return box;
}

void CFrameWindowWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == "windowinit") return OnWindowInit();
  if (msg.sType != "click" || !msg.pSender) return;
  OnClick(msg.pSender->GetName().str());
}

void CFrameWindowWnd::OnWindowInit() {
  ClientCore::LoadNotice notice = core_->LoadUsers();
  ShowConnectionState();
  panel_->RebuildSlots();
  ShowHeldReadings();
  TellLoadNotice(notice);
  // The scale reader hands its frames to this window from now on.
  core_->scale.SetFrameTarget(this);
  SelectSlot(core_->users.empty() ? -1 : 1, true);
}

void CFrameWindowWnd::SelectSlot(int slot, bool prompt) {
  int count = static_cast<int>(core_->users.size());
  if (slot == -1 || slot > count || count == 0) {
    CAddUserFrameWnd::Result added = RunAddUserDialog(context_);
    if (added.userAdded) reminders_.PollSoon();
    panel_->SetSelected(added.userAdded ? added.slotIndex : panel_->Selected());
    panel_->RebuildSlots();
    if (panel_->Selected() != -1 && panel_->ShowSelected(panel_->Selected())) return;
    panel_->SetSelected(-1);
    return;
  }
  panel_->ShowSelected(slot);
  UserRecord* user = panel_->SelectedUser();
  history_->Refresh(user);
  if (prompt && user && !user->autologin && !user->loggedIn) OpenLoginDialog(panel_->SelectedIndex());
}

void CFrameWindowWnd::OpenLoginDialog(size_t index) {
  RunLoginDialog(context_, index);
  if (index < core_->users.size() && core_->users[index]->loggedIn) reminders_.PollSoon();
  panel_->RebuildSlots();
  if (panel_->Selected() != -1) panel_->ShowSelected(panel_->Selected());
}

void CFrameWindowWnd::TellLoadNotice(const ClientCore::LoadNotice& notice) {
  std::string kept = notice.userFileCopy.empty() ? std::string("。") : "。原文件已另存为：" + notice.userFileCopy;
  if (notice.userFile == UserStore::Loaded::Damaged) {
    ShowClientMessage(*this, "用户文件已损坏，已载入其中可以读取的" + std::to_string(core_->users.size()) + "个账户" + kept);
  } else if (notice.userFile == UserStore::Loaded::TooManyUsers) {
    ShowClientMessage(*this, "用户文件中的账户多于" + std::to_string(UserStore::kMaxUsers) + "个，只载入了前" +
                                 std::to_string(UserStore::kMaxUsers) + "个" + kept);
  }
  if (!notice.heldFileCopy.empty()) {
    ShowClientMessage(*this, "未分配读数的文件已损坏，已保留其中可以读取的读数。原文件已另存为：" + notice.heldFileCopy);
  }
}

void CFrameWindowWnd::ShowHeldReadings() {
  auto* notice = Manager().FindControl("未分配读数");
  if (!notice) return;
  size_t count = core_->held.Unassigned().size();
  bool full = core_->held.Full();
  // Asked after every pass: the bar is drawn again only when what it says changed.
  if (count == heldShown_.count && full == heldShown_.full) return;
  heldShown_ = {count, full};
  notice->SetVisible(count > 0);
  if (count == 0) return;
  std::string text = full
                         ? "未分配读数已满（" + std::to_string(count) + "条），新的称重暂存在秤上，点击处理"
                         : "有" + std::to_string(count) + "条称重读数未分配给用户，点击查看";
  notice->SetText(CStdString(text));
}

void CFrameWindowWnd::ProbeAgainWhenDue() {
  probeSeconds_ += kSyncMs / 1000;
  if (connected_ || core_->engine.Running() || !probe_.Due(probeSeconds_)) return;
  ShowConnectionState();
  if (panel_) {
    panel_->RebuildSlots();
    if (panel_->Selected() != -1) panel_->ShowSelected(panel_->Selected());
  }
}

void CFrameWindowWnd::ShowConnectionState() {
  bool reachable = core_->api.ProbeConnection();
  connected_ = reachable;
  if (reachable) {
    probe_.Succeeded();
  } else {
    probe_.Failed(probeSeconds_);
  }
  if (CControlUI* text = Manager().FindControl("连接服务器状态")) {
    text->SetText(reachable ? "已成功连接至Vymera服务器" : "未成功连接至Vymera服务器");
  }
  if (CControlUI* icon = Manager().FindControl("connectstate")) {
    icon->SetBkImage(reachable ? "mainwindow_connect.png" : "mainwindow_disconnect.png");
  }
  if (reachable && AutoLoginUsers(context_) > 0) reminders_.PollSoon();
}

void CFrameWindowWnd::OnClick(const std::string& name) {
  UserRecord* user = panel_->SelectedUser();
  if (name == HistoryPage::kNavOption && user) panel_->RememberTab(HistoryPage::kPage);
  if (history_->OnClick(name, user)) return;
  std::optional<FrameClickAction> action = FrameClickOf(name);
  if (!action) return;
  RECT frame{};
  GetWindowRect(*this, &frame);
  switch (action->click) {
    case FrameClick::Hide:
      ShowWindow(false, false);
      break;
    case FrameClick::Minimise:
      ::ShowWindow(*this, SW_MINIMIZE);
      break;
    case FrameClick::Help:
      RunHelpDialog(context_);
      break;
    case FrameClick::DropDownMenu:
      dropDown_ = OpenSystemDropDown(context_, SystemDropDownPosition(frame));
      break;
    case FrameClick::SelectSlot:
      SelectSlot(action->index, true);
      break;
    case FrameClick::SlotMenu:
      if (action->index <= static_cast<int>(core_->users.size())) {
        size_t index = static_cast<size_t>(action->index - 1);
        OpenUserMenu(context_, index, UserMenuPosition(frame, index));
      }
      break;
    case FrameClick::Unassigned:
      RunUnassignedDialog(context_);
      ShowHeldReadings();
      break;
    case FrameClick::AddUser:
      SelectSlot(-1, true);
      break;
    case FrameClick::UserPage:
      if (user) {
        panel_->RememberTab(action->index);
        panel_->ShowRememberedTab();
        if (action->index == UserPanel::kHardwarePage) {
          panel_->RefreshEntries();
        } else {
          panel_->RefreshAccountPage();
        }
      }
      panel_->ClearEntrySelection();
      break;
    case FrameClick::ReminderList:
      if (user && !context_.reminderListOpen) OpenReminderList(context_, panel_->SelectedIndex());
      panel_->ClearEntrySelection();
      break;
    case FrameClick::ApplyAccount:
      ApplyAccountPage();
      break;
    case FrameClick::AccountMemberSite:
      if (user) OpenPage(context_.MemberHome(*user));
      break;
    case FrameClick::MemberSite:
      OpenPage(user ? context_.MemberHome(*user) : context_.MemberPage("/"));
      break;
    case FrameClick::LogIn:
      if (user) OpenLoginDialog(panel_->SelectedIndex());
      break;
    case FrameClick::AddBinding:
      if (user) {
        size_t index = panel_->SelectedIndex();
        if (RunAddHardwareDialog(context_, index).openSettings) RunScaleSettingsDialog(context_, index);
        panel_->RefreshEntries();
      }
      break;
    case FrameClick::HardwareSettings:
      if (user) RunScaleSettingsDialog(context_, panel_->SelectedIndex());
      break;
    case FrameClick::Unbind:
      Unbind();
      break;
    case FrameClick::SelectEntry:
      panel_->OnEntrySelected(action->index);
      break;
  }
}

void CFrameWindowWnd::ApplyAccountPage() {
  UserRecord* user = panel_->SelectedUser();
  if (!user || !user->loggedIn) return;
  UserChange change = core_->changes.Edit(panel_->SelectedIndex(), [this](UserRecord& record) {
    panel_->ReadAccountPage(record);
    core_->StoreUser(record);
  });
  if (ChangeMade(*this, change)) ShowClientMessage(*this, "应用成功");
}

void CFrameWindowWnd::Unbind() {
  UserRecord* user = panel_->SelectedUser();
  if (!user || !AskQuestion(*this, "解除绑定")) return;
  size_t index = panel_->SelectedIndex();
  for (DeviceKind kind : panel_->SelectedEntryKinds()) UnbindDevice(context_, index, kind);
  panel_->RefreshEntries();
}

void CFrameWindowWnd::OnUserMenuChoice(WPARAM action, LPARAM lParam) {
  if (lParam < 0 || static_cast<size_t>(lParam) >= core_->users.size()) return;
  size_t index = static_cast<size_t>(lParam);
  if (action == 1) {
    RunLoginDialog(context_, index);
  } else if (action == 2) {
    if (!AskQuestion(*this, "退出登录")) return;
    ChangeMade(*this, core_->changes.Edit(index, [](UserRecord& record) {
      record.loggedIn = false;
      record.autologin = false;
    }));
  } else if (action == 3) {
    if (!AskQuestion(*this, "清除账号")) return;
    if (!ChangeMade(*this, core_->changes.ClearAccount(index))) return;
  } else {
    return;
  }
  panel_->RebuildSlots();
  if (action == 3) panel_->SetSelected(core_->users.empty() ? -1 : 1);
  SelectSlot(panel_->Selected(), false);
}

LRESULT CFrameWindowWnd::OnHitTest(LPARAM screenPoint) {
  LRESULT hit = CaptionHitTest(screenPoint);
  if (hit == HTCAPTION || context_.reminderListOpen || !panel_ || !panel_->SelectedUser()) return hit;
  CControlUI* reminder = Manager().FindControl("用户提醒");
  if (!reminder || !reminder->IsVisible()) return hit;
  POINT pt{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ScreenToClient(*this, &pt);
  RECT r = reminder->GetPos();
  if (pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom) {
    OpenReminderList(context_, panel_->SelectedIndex());
  }
  return hit;
}

void CFrameWindowWnd::OnTimer(UINT id) {
  if (id == kDetectionTimer) {
    core_->engine.DetectionTick();
  } else if (id == kSyncTimer) {
    core_->engine.SyncPass();
    if (quitAfterPass_) return FinishQuit();
    ShowHeldReadings();
    history_->Refresh(panel_->SelectedUser());
    ProbeAgainWhenDue();
    // The poll's schedule rides on this timer: an idle client wakes for its two timers only.
    TickReminders();
  } else if (id == kReminderTimer) {
    TickReminders();
  }
}

void CFrameWindowWnd::TickReminders() {
  // A poll logs every account in and waits for the service: the schedule holds it back while a
  // pass runs.
  reminders_.Tick(core_->settings.TixingTime, core_->engine.Running(), [this] {
    PollReminders(context_, [this](int count) {
      if (panel_) panel_->SetReminderText(count);
    });
  });
}

void CFrameWindowWnd::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
  if (lParam == WM_RBUTTONDOWN) {
    if (dropDown_ && IsWindow(dropDown_)) ::PostMessage(dropDown_, WM_KILLFOCUS, 0, 0);
  } else if (lParam == WM_RBUTTONUP) {
    POINT cursor{};
    GetCursorPos(&cursor);
    dropDown_ = OpenSystemDropDown(context_, POINT{cursor.x - kDropDownWidth, cursor.y - kDropDownHeight});
  } else {
    tray_.OnTrayNotification(wParam, lParam);
  }
}

void CFrameWindowWnd::OnSystemMenuChoice(WPARAM choice) {
  if (choice == 1) {
    RunSettingsDialog(context_);
  } else if (choice == 2) {
    RunAboutDialog(context_);
  } else if (choice == 3) {
    Quit();
  }
}

void CFrameWindowWnd::ShowMainWindow() {
  ShowWindow(true, true);
  if (IsIconic(*this)) ::ShowWindow(*this, SW_RESTORE);
  SetForegroundWindow(*this);
}

void CFrameWindowWnd::Quit() {
  if (quitting_) return;
  if (core_->settings.ShowCloseTip && !AskQuestion(*this, "退出程序")) return;
  EndSession();
}

void CFrameWindowWnd::EndSession() {
  if (quitting_) return;
  quitting_ = true;
  if (core_->engine.Running()) {
    // The pass settles the item it is on, then the timer that runs it finishes the quit.
    core_->engine.RequestStop();
    quitAfterPass_ = true;
    return;
  }
  FinishQuit();
}

void CFrameWindowWnd::FinishQuit() {
  quitAfterPass_ = false;
  KillTimer(*this, kDetectionTimer);
  KillTimer(*this, kSyncTimer);
  KillTimer(*this, kReminderTimer);
  core_->StoreAllUsers();
  tray_.Remove();
  PostQuitMessage(0);
}

void CFrameWindowWnd::WatchTerminationSignals(platform::UniqueFd fd) {
  if (!fd) return;
  signals_ = std::move(fd);
  toolkit::Dispatcher::Instance().GetBackend().WatchReadable(signals_.get(), [this] {
    if (platform::ReadTerminationSignal(signals_.get()) != 0) EndSession();
  });
}

LRESULT CFrameWindowWnd::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (msg) {
    case WM_NCHITTEST:
      return OnHitTest(lParam);
    case WM_TIMER:
      OnTimer(static_cast<UINT>(wParam));
      return 0;
    case WM_COMMAND:
      if (wParam == client_messages::kCmdShowMainWindow) ShowMainWindow();
      if (wParam == client_messages::kCmdQuit) Quit();
      return 0;
    case WM_CLOSE:
      // A close from the desktop (its close command, the session's end) ends the client as a
      // termination request does: the users are stored first.
      EndSession();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      handled = false;
      return 0;
    case client_messages::kMsgSystemMenuChoice:
      OnSystemMenuChoice(wParam);
      return 0;
    case client_messages::kMsgTrayCallback:
      OnTrayMessage(wParam, lParam);
      return 0;
    case client_messages::kMsgScaleFrame:
      core_->scale.HandleFrameMessage(core_->pending, context_.scaleSettingsDialog);
      return 0;
    case client_messages::kMsgUserMenuChoice:
      OnUserMenuChoice(wParam, lParam);
      return 0;
    default:
      handled = false;
      return 0;
  }
}
