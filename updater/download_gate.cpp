#include "updater/download_gate.h"

void DownloadGate::Hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void DownloadGate::Release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  changed_.notify_all();
}

void DownloadGate::Abandon() {
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  changed_.notify_all();
}

bool DownloadGate::Abandoned() const {
  std::lock_guard lock(mutex_);
  return abandoned_;
}

bool DownloadGate::PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !held_ || abandoned_; });
    if (abandoned_) return false;
  }
  return window_.PostMessage(message, wParam, lParam);
}
