#pragma once
// CAboutDlg: the about box, with the running client's version and a link to the company site.
// Escape does nothing; Return closes it as "确认" does, the box's only answer.

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CAboutDlg : public CSkinWnd {
 public:
  explicit CAboutDlg(ClientContext& context) : context_(context) {}

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // The text of "版本": "版本：" + version + seven blanks.
  static std::string VersionText(const std::string& version);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIAbout"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "AboutDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;

 private:
  ClientContext& context_;
};

// Runs the about box (window name "AboutDlg") modally over the main window.
void RunAboutDialog(ClientContext& context);
