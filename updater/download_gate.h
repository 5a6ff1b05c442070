#pragma once
// DownloadGate: stands between the download and the window it reports to. Every progress report
// passes through it before the next chunk is read, so holding the gate holds the download where it
// is; a gate that is abandoned lets the download run out without reporting anything more.

#include <condition_variable>
#include <mutex>

#include "platform/message_target.h"

class DownloadGate : public platform::MessageTarget {
 public:
  explicit DownloadGate(platform::MessageTarget& window) : window_(window) {}

  // GUI thread.
  void Hold();
  void Release();
  void Abandon();
  bool Abandoned() const;

  // Download thread: waits while the gate is held, then passes the report on. False once abandoned.
  bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

 private:
  platform::MessageTarget& window_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool abandoned_ = false;
};
