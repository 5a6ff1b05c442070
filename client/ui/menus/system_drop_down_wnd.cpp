#include "client/ui/menus/system_drop_down_wnd.h"

#include <array>

#include "client/core/client_messages.h"

namespace {
struct Choice {
  std::string_view control;
  WPARAM choice;
};
constexpr std::array<Choice, 3> kChoices{{{"系统设置", 1}, {"关于", 2}, {"退出", 3}}};
}  // namespace

WPARAM CSystemDropDownWnd::ChoiceOf(std::string_view control) {
  for (const Choice& c : kChoices) {
    if (c.control == control) return c.choice;
  }
  return 0;
}

void CSystemDropDownWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const std::string& name = msg.pSender->GetName().str();
  if (name == "访问Vymera网") {
    OpenPage(context_.MemberPage("/"));
  } else if (WPARAM choice = ChoiceOf(name)) {
    ::PostMessage(context_.mainWindow, client_messages::kMsgSystemMenuChoice, choice, 0);
    Close();
  }
}

POINT SystemDropDownPosition(const RECT& mainWindow) { return POINT{mainWindow.left + 735, mainWindow.top + 29}; }

HWND OpenSystemDropDown(ClientContext& context, POINT topLeft) {
  auto* menu = popup_menu::Open<CSystemDropDownWnd>(context.mainWindow, "SystemDlg", topLeft, CSystemDropDownWnd::kSize,
                                                    context);
  return menu ? menu->GetHWND() : nullptr;
}
