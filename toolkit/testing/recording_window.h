#pragma once
// A plain window (no skin) that records every message it receives, and counts its final messages.

#include <functional>
#include <vector>

#include "toolkit/core/window_wnd.h"

namespace toolkit_testing {

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingWnd : public CWindowWnd {
 public:
  std::vector<Received> log;
  std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;
  int finalMessages = 0;
  bool* finalFlag = nullptr;

  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    log.push_back({msg, wParam, lParam});
    if (onMessage) {
      bool handled = false;
      LRESULT r = onMessage(msg, wParam, lParam, handled);
      if (handled) return r;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  int Count(UINT msg) const {
    int n = 0;
    for (const auto& r : log) n += r.msg == msg;
    return n;
  }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UITest"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  void OnFinalMessage(HWND) override {
    ++finalMessages;
    if (finalFlag) *finalFlag = true;
  }
};

}  // namespace toolkit_testing
