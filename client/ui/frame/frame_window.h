#pragma once
// CFrameWindowWnd: the client's main window and the owner of everything long-lived. It builds the
// core (settings, users, devices, web access, sync engine), puts up the tray icon, drives the core
// from its timers (device detection every 2 s, the sync pass every 5 s, the reminder poll), hands
// the scale reader's frames to the core, and answers the main window's controls and the messages
// of the windows it opens. Quit, the end of the session and termination requests all store the
// users before the program ends.

#include <memory>
#include <string>

#include "client/core/app/client_core.h"
#include "client/core/reminders/reminder_schedule.h"
#include "client/core/sync/backoff.h"
#include "client/ui/client_context.h"
#include "client/ui/frame/frame_ports.h"
#include "client/ui/frame/history_page.h"
#include "client/ui/frame/system_tray.h"
#include "client/ui/frame/user_panel.h"
#include "platform/unique_fd.h"
#include "toolkit/ui.h"

class CFrameWindowWnd : public CSkinWnd, private IDialogBuilderCallback {
 public:
  static constexpr const char* kTitle = "Vymera同步软件";
  static constexpr int kWidth = 850;
  static constexpr int kHeight = 600;
  static constexpr UINT kDetectionTimer = 1;
  static constexpr UINT kSyncTimer = 2;
  static constexpr UINT kReminderTimer = ReminderSchedule::kTimerId;  // routed, never armed
  static constexpr UINT kDetectionMs = 2000;
  static constexpr UINT kSyncMs = 5000;
  static constexpr UINT kTrayIconResource = 104;
  static constexpr UINT kWindowIconResource = 101;

  struct Setup {
    std::string dataFolder;             // the settings, the users and their pictures
    platform::HidHost* host = nullptr;  // must outlive the frame
    std::string endpoint;               // empty: the built-in API address
    std::string memberSite;
    std::string companySite;
    std::string iconPng;                // the tray's and the window's icon
  };
  explicit CFrameWindowWnd(Setup setup);
  ~CFrameWindowWnd() override;

  ClientCore& Core() { return *core_; }
  ClientContext& Context() { return context_; }
  const UserPanel* Panel() const { return panel_.get(); }

  // Quit as the user asks for it: the question when the settings want one, then the users are
  // stored, the icon goes and the loop ends. A running sync pass ends its current item first.
  void Quit();
  // A termination request or the session's end: as Quit, without the question.
  void EndSession();
  // From now on the three termination signals arriving on fd end the session in order.
  void WatchTerminationSignals(platform::UniqueFd fd);

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIMainFrame"; }
  UINT GetClassStyle() const override { return 11; }  // vertical and horizontal redraw, double clicks
  CStdString GetSkinFile() const override { return "main.xml"; }
  IDialogBuilderCallback* GetBuilderCallback() override { return this; }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  CControlUI* CreateControl(LPCTSTR className) override;

  void PostCreateSetUp();
  void OnWindowInit();
  void OnTimer(UINT id);
  void OnClick(const std::string& name);
  void OnTrayMessage(WPARAM wParam, LPARAM lParam);
  void OnSystemMenuChoice(WPARAM choice);
  void OnUserMenuChoice(WPARAM action, LPARAM index);
  LRESULT OnHitTest(LPARAM screenPoint);

  // Selects slot (1-based; -1 for none, which opens the add-user dialog); prompt lets a logged-out
  // user without automatic login be asked to log in.
  void SelectSlot(int slot, bool prompt);
  // Probes the service and shows the answer; logs in the users flagged for it when it answers.
  void ShowConnectionState();
  // While the service does not answer, probes it again after the back-off.
  void ProbeAgainWhenDue();
  // What the start found amiss in the files it read, told once.
  void TellLoadNotice(const ClientCore::LoadNotice& notice);
  // Shows whether readings wait in the unassigned list.
  void ShowHeldReadings();
  void Unbind();
  void ApplyAccountPage();
  void OpenLoginDialog(size_t index);
  void TickReminders();
  // The quit steps after the question: store, take the icon down, end the loop.
  void FinishQuit();
  void ShowMainWindow();

  Setup setup_;
  SystemWallClock clock_;
  FramePorts ports_;
  std::unique_ptr<ClientCore> core_;
  ClientContext context_;
  CSystemTray tray_;
  std::unique_ptr<UserPanel> panel_;
  std::unique_ptr<HistoryPage> history_;
  ReminderSchedule reminders_;
  struct HeldShown {
    size_t count = 0;  // the skin starts with the notice hidden
    bool full = false;
  } heldShown_;
  Backoff probe_;
  // The probe's clock: seconds of sync-timer ticks, so it keeps the timer's time.
  std::time_t probeSeconds_ = 0;
  bool connected_ = false;
  HWND dropDown_ = nullptr;
  bool quitting_ = false;
  bool quitAfterPass_ = false;
  platform::UniqueFd signals_;
};
