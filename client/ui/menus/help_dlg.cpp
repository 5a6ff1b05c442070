#include "client/ui/menus/help_dlg.h"

#include <array>

#include "toolkit/desktop/desktop.h"

namespace {

struct Topic {
  std::string_view button;
  int page;
};
constexpr std::array<Topic, 6> kTopics{{
    {"添加账户", 2},
    {"绑定硬件", 3},
    {"同步数据", 4},
    {"硬件设置", 5},
    {"同步失败的几种常见情况", 6},
    {"杀毒软件报错与相应设置", 7},
}};

// The chat with the first customer-service agent opens as a normal window; the other links leave
// the window to the page they open.
constexpr std::array<CHelpDlg::ServiceLink, 9> kServiceLinks{{
    {"QQ1", "/service/qq1", SW_SHOWNORMAL},
    {"QQ2", "/service/qq2", SW_HIDE},
    {"QQ3", "/service/qq3", SW_HIDE},
    {"QQ4", "/service/qq4", SW_HIDE},
    {"Cooper", "/service/shop", SW_HIDE},
    {"TB1", "/service/shop1", SW_HIDE},
    {"TB2", "/service/shop2", SW_HIDE},
    {"TB3", "/service/shop3", SW_HIDE},
    {"TB4", "/service/shop4", SW_HIDE},
}};

constexpr int kRegularFont = 0;
constexpr int kBoldFont = 1;

}  // namespace

int CHelpDlg::TopicPage(std::string_view button) {
  for (const Topic& t : kTopics) {
    if (t.button == button) return t.page;
  }
  return -1;
}

const CHelpDlg::ServiceLink* CHelpDlg::LinkOf(std::string_view button) {
  for (const ServiceLink& link : kServiceLinks) {
    if (link.button == button) return &link;
  }
  return nullptr;
}

void CHelpDlg::ShowPage(int page) {
  if (auto* tabs = Manager().FindControlAs<CTabLayoutUI>("switch")) tabs->SelectItem(page);
}

void CHelpDlg::MarkTab(bool contact) {
  if (auto* help = Manager().FindControlAs<CLabelUI>("帮助")) help->SetFont(contact ? kRegularFont : kBoldFont);
  if (auto* us = Manager().FindControlAs<CLabelUI>("联系我们")) us->SetFont(contact ? kBoldFont : kRegularFont);
}

void CHelpDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const std::string& name = msg.pSender->GetName().str();
  if (name == "帮助" || name == "back") {
    ShowPage(kIndexPage);
    MarkTab(false);
  } else if (name == "联系我们" || name == "contactus") {
    ShowPage(kContactPage);
    MarkTab(true);
  } else if (int page = TopicPage(name); page >= 0) {
    ShowPage(page);
  } else if (name == "vymerahelp") {
    OpenPage(context_.MemberPage("/help"));
  } else if (const ServiceLink* link = LinkOf(name)) {
    toolkit::OpenUrl(context_.MemberPage(link->path), link->showCommand);
  } else if (name == "取消" || name == "closebtn") {
    Close();
  }
}

void RunHelpDialog(ClientContext& context) { toolkit::RunModal<CHelpDlg>(context.mainWindow, "HelpDlg", context); }
