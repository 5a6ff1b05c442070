#pragma once
// A window built from skin text or a skin file the way every window of the programs is: it
// records notifications and keys its filter sees.

#include <functional>
#include <string>
#include <vector>

#include "toolkit/ui.h"

namespace toolkit_testing {

struct Seen {
  std::string type;
  std::string sender;
  bool selectedAtNotify = false;
};

class SkinWindow : public CWindowWnd, public INotifyUI, public IMessageFilterUI {
 public:
  explicit SkinWindow(std::string skin, IDialogBuilderCallback* callback = nullptr)
      : skin_(std::move(skin)), callback_(callback) {}

  CPaintManagerUI pm;
  std::vector<Seen> seen;
  std::vector<WPARAM> keys;
  bool swallowKeys = false;
  bool built = false;
  std::function<void(TNotifyUI&)> onNotify;

  void Notify(TNotifyUI& msg) override {
    Seen s{msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : std::string(), false};
    if (auto* option = dynamic_cast<COptionUI*>(msg.pSender)) s.selectedAtNotify = option->IsSelected();
    seen.push_back(s);
    if (onNotify) onNotify(msg);
  }
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
      keys.push_back(wParam);
      handled = swallowKeys;
    }
    return 0;
  }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CREATE) {
      pm.Init(m_hwnd());
      CDialogBuilder builder;
      CControlUI* root = builder.Create(CStdString(skin_), nullptr, callback_, &pm);
      if (!root) return -1;
      pm.AttachDialog(root);
      pm.AddNotifier(this);
      pm.AddPreMessageFilter(this);
      built = true;
      return 0;
    }
    if (msg == WM_NCHITTEST) {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(m_hwnd(), &pt);
      return toolkit::CaptionHitTest(pm, pt, {"ButtonUI", "OptionUI", "TextUI"});
    }
    if (msg == WM_SIZE) {
      SIZE corner = pm.GetRoundCorner();
      if (!IsIconic(m_hwnd()) && (corner.cx || corner.cy)) {
        RECT rc;
        GetClientRect(m_hwnd(), &rc);
        SetWindowRoundRegion(m_hwnd(), RECT{0, 0, rc.right + 1, rc.bottom + 1}, corner.cx, corner.cy);
      }
    }
    LRESULT result = 0;
    if (pm.MessageHandler(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  int Count(const std::string& type, const std::string& sender = {}) const {
    int n = 0;
    for (const Seen& s : seen) n += s.type == type && (sender.empty() || s.sender == sender);
    return n;
  }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UISkinTest"; }
  UINT GetClassStyle() const override { return UI_CLASSSTYLE_DIALOG; }

 private:
  HWND m_hwnd() const { return GetHWND(); }
  std::string skin_;
  IDialogBuilderCallback* callback_;
};

}  // namespace toolkit_testing
