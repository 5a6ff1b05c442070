#include "client/ui/frame/frame_ports.h"

#include <chrono>
#include <string>
#include <thread>

#include "client/ui/client_context.h"
#include "client/ui/dialogs/alert_dlg.h"
#include "client/ui/dialogs/upload_process_dlg.h"
#include "toolkit/core/backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/ui.h"

void FramePorts::Attach(ClientContext& context, std::function<void()> refreshHardware) {
  context_ = &context;
  refreshHardware_ = std::move(refreshHardware);
}

bool FramePorts::OpenProgressDialog(int total) {
  if (!context_) return false;
  CUploadProcessDlg* dialog = OpenUploadProgress(*context_, total);
  progress_ = dialog ? dialog->GetHWND() : nullptr;
  return progress_ != nullptr;
}

void FramePorts::PostToProgressDialog(unsigned message) {
  if (progress_ && IsWindow(progress_)) PostMessage(progress_, message, 0, 0);
}

void FramePorts::ShowAlert(std::string_view key) {
  if (context_) RaiseAlert(*context_, key, nullptr, 0, 0);
}

void FramePorts::ShowMessageBox(std::string_view text, std::string_view caption) {
  toolkit::ShowMessageBox(context_ ? context_->mainWindow : nullptr, CStdString(std::string(text)),
                          CStdString(std::string(caption)), MB_OK);
}

bool FramePorts::MainWindowShownNormal() const {
  HWND main = context_ ? context_->mainWindow : nullptr;
  return main && IsWindowVisible(main) && !IsIconic(main);
}

void FramePorts::RefreshHardwarePanel() {
  if (refreshHardware_) refreshHardware_();
}

void FramePorts::Wait(int milliseconds) {
  HWND main = context_ ? context_->mainWindow : nullptr;
  if (!main || !IsWindow(main)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  // The windows stay live through the wait: the loop runs until the wait's own timer is due.
  toolkit::Dispatcher& dispatcher = toolkit::Dispatcher::Instance();
  int64_t until = dispatcher.GetBackend().NowMs() + milliseconds;
  SetTimer(main, kWaitTimer, static_cast<UINT>(milliseconds));
  dispatcher.RunUntil([&] { return dispatcher.GetBackend().NowMs() >= until || !IsWindow(main); });
  if (IsWindow(main)) KillTimer(main, kWaitTimer);
}

void FramePorts::PumpMessages() { toolkit::Dispatcher::Instance().PumpPending(); }
