#pragma once
// What the sync engine needs from the windows, as the real frame gives it: the progress dialog and
// the alerts, message boxes over the main window, the main window's state, and waits that keep
// every window live while the pass works.

#include <functional>

#include "client/core/sync/sync_ports.h"
#include "toolkit/core/win_types.h"

struct ClientContext;

class FramePorts final : public SyncNotifier, public FrameState, public PassPacer {
 public:
  // The timer a wait runs on: it wakes the loop when the wait is over.
  static constexpr UINT kWaitTimer = 7;

  // Until Attach, the ports show nothing and wait without pumping.
  void Attach(ClientContext& context, std::function<void()> refreshHardware);

  bool OpenProgressDialog(int total) override;
  void PostToProgressDialog(unsigned message) override;
  void ShowAlert(std::string_view key) override;
  void ShowMessageBox(std::string_view text, std::string_view caption) override;

  bool MainWindowShownNormal() const override;
  void RefreshHardwarePanel() override;

  void Wait(int milliseconds) override;
  void PumpMessages() override;

 private:
  ClientContext* context_ = nullptr;
  std::function<void()> refreshHardware_;
  HWND progress_ = nullptr;
};
