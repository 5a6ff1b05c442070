#pragma once
// CHelpDlg: the help dialog. Page 0 is the index of topics, page 1 the contact page with the
// customer-service links, pages 2 to 7 one topic each; "帮助" and "联系我们" mark the page shown in
// bold. The texts are the skin's; the addresses of the links are the table in the source.

#include <string_view>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CHelpDlg : public CSkinWnd {
 public:
  static constexpr int kIndexPage = 0;
  static constexpr int kContactPage = 1;

  explicit CHelpDlg(ClientContext& context) : context_(context) {}

  void Notify(TNotifyUI& msg) override;

  // The page a topic button shows; -1 for a name that is no topic.
  static int TopicPage(std::string_view button);

  // A customer-service link: the member-site page a button opens and the window asked for.
  struct ServiceLink {
    std::string_view button;
    std::string_view path;
    int showCommand;
  };
  // The link of a button; null for a name that is no link.
  static const ServiceLink* LinkOf(std::string_view button);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIAbout"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "Help.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }

 private:
  void ShowPage(int page);
  // The index and the contact page mark their tab button bold.
  void MarkTab(bool contact);

  ClientContext& context_;
};

// Runs the help dialog (window name "HelpDlg") modally over the main window.
void RunHelpDialog(ClientContext& context);
