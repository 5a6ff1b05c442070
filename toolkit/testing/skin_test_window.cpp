#include "toolkit/testing/skin_test_window.h"

namespace toolkit_testing {

void SkinWindow::Notify(TNotifyUI& msg) {
  Seen s{msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : std::string(), false};
  if (auto* option = dynamic_cast<COptionUI*>(msg.pSender)) s.selectedAtNotify = option->IsSelected();
  seen.push_back(s);
  if (onNotify) onNotify(msg);
}

LRESULT SkinWindow::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    keys.push_back(wParam);
    handled = swallowKeys;
  }
  return 0;
}

int SkinWindow::Count(const std::string& type, const std::string& sender) const {
  int n = 0;
  for (const Seen& s : seen) n += s.type == type && (sender.empty() || s.sender == sender);
  return n;
}

bool SkinWindow::OnSkinReady() {
  built = true;
  return true;
}

LRESULT SkinWindow::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  return onMessage ? onMessage(msg, wParam, lParam, handled) : 0;
}

}  // namespace toolkit_testing
