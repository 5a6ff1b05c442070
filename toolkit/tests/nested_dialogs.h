#pragma once
// A main window whose "open" button runs a modal skinned dialog, whose "ask" button (pressed by the
// dialog's own timer once it has stood a while) shows a message box over it. The main window's
// timer ticks throughout, and every tick posts it a message: what arrived in each phase is kept,
// headless and under a display alike.

#include "toolkit/desktop/desktop.h"
#include "toolkit/testing/headless.h"
#include "toolkit/skin_window.h"
#include "toolkit/testing/skin_test_window.h"

namespace toolkit_testing {

class NestedDialogs {
 public:
  static constexpr UINT kTickTimer = 1;
  static constexpr UINT kAskTimer = 2;
  static constexpr UINT kPing = WM_APP + 20;

  // Ticks (and posted messages) seen while the dialog stood without and with the message box.
  struct Phase {
    int ticks = 0;
    int pings = 0;
  };

  NestedDialogs(UINT tickMs, UINT askAfterMs)
      : main_(R"(<Window size="200,100"><VerticalLayout><Button name="open" height="40"/></VerticalLayout></Window>)"),
        askAfterMs_(askAfterMs) {
    main_.onNotify = [this](TNotifyUI& msg) {
      if (msg.sType == "click" && msg.pSender->GetName() == "open")
        answer = toolkit::RunModal<AskDlg>(main_, "ask", this).answer;
    };
    main_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
      if (msg == WM_TIMER && wParam == kTickTimer) {
        handled = true;
        Tick();
        main_.PostMessage(kPing, 0, 0);
      }
      if (msg == kPing) {
        handled = true;
        if (stage_ != Stage::Idle) ++Count().pings;
      }
      return 0;
    };
    main_.Create(nullptr, "nested main", WS_POPUP | WS_VISIBLE, 0, 100, 100, 200, 100);
    SetTimer(main_, kTickTimer, tickMs);
  }
  ~NestedDialogs() {
    main_.onNotify = nullptr;
    main_.onMessage = nullptr;
    DestroyWindow(main_);
  }
  NestedDialogs(const NestedDialogs&) = delete;
  NestedDialogs& operator=(const NestedDialogs&) = delete;

  // Clicks "open" on the main window; returns when the dialog is gone.
  bool Run() { return toolkit::headless::Click(main_, "open") && stage_ == Stage::Idle; }

  HWND Main() const { return main_; }
  const toolkit::NativeWindow* DialogNative() const { return dialogNative_; }

  Phase withoutBox;
  Phase duringBox;
  int answer = 0;                       // as the dialog's result handed it back, after the dialog was deleted
  bool ownersDisabledDuringBox = true;  // main and dialog, at every tick while the box stood
  bool boxShown = false;

 private:
  enum class Stage { Idle, Dialog, Box };

  // The dialog: its own timer presses "ask", whose click shows the box and closes the dialog
  // with the answer.
  class AskDlg : public CSkinWnd {
   public:
    struct Result {
      int answer = 0;
    };
    explicit AskDlg(NestedDialogs* rig) : rig_(rig) {}
    Result GetResult() const { return result_; }

    void Notify(TNotifyUI& msg) override {
      if (msg.sType != "click" || msg.pSender->GetName() != "ask") return;
      rig_->stage_ = Stage::Box;
      rig_->boxShown = true;
      result_.answer = toolkit::ShowMessageBox(GetHWND(), "确认退出吗？", "Vymera同步软件", MB_YESNO | MB_ICONQUESTION);
      rig_->stage_ = Stage::Dialog;
      Close();
    }

   protected:
    LPCTSTR GetWindowClassName() const override { return "UINestedAsk"; }
    CStdString GetSkinFile() const override {
      return R"(<Window size="160,80"><VerticalLayout><Button name="ask" height="40"/></VerticalLayout></Window>)";
    }
    bool OnSkinReady() override {
      rig_->dialog_ = GetHWND();
      rig_->dialogNative_ = Native();
      rig_->stage_ = Stage::Dialog;
      SetTimer(GetHWND(), kAskTimer, rig_->askAfterMs_);
      return true;
    }
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
      if (msg == WM_TIMER && wParam == kAskTimer) {
        handled = true;
        KillTimer(GetHWND(), kAskTimer);
        toolkit::headless::Click(GetHWND(), "ask");
      }
      if (msg == WM_DESTROY) rig_->stage_ = Stage::Idle;
      return 0;
    }

   private:
    NestedDialogs* rig_;
    Result result_;
  };

  Phase& Count() { return stage_ == Stage::Box ? duringBox : withoutBox; }

  void Tick() {
    if (stage_ == Stage::Box && (IsWindowEnabled(main_) || IsWindowEnabled(dialog_))) ownersDisabledDuringBox = false;
    if (stage_ != Stage::Idle) ++Count().ticks;
  }

  SkinWindow main_;
  UINT askAfterMs_;
  HWND dialog_ = nullptr;
  const toolkit::NativeWindow* dialogNative_ = nullptr;
  Stage stage_ = Stage::Idle;
};

}  // namespace toolkit_testing
