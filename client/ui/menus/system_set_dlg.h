#pragma once
// CSystemSetDlg: the settings dialog over the client's SettingsStore. It shows the options as they
// stand; "确认" applies them and closes, "应用" applies and stays, "取消" and "closebtn" close
// without applying. Applying also sets or removes the start-with-desktop entry and saves the file.

#include <string_view>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CSystemSetDlg : public CSkinWnd {
 public:
  // The store reads its texts into 255 characters; the edits take no more.
  static constexpr int kMaxTextChars = 255;

  explicit CSystemSetDlg(ClientContext& context) : context_(context) {}

  void Notify(TNotifyUI& msg) override;

  // True for a port the proxy can be reached at: 1 to 65535 in decimal digits, or empty (the
  // proxy's own default).
  static bool IsProxyPort(std::string_view port);

 protected:
  LPCTSTR GetWindowClassName() const override { return "SystemSet"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "SystemSetDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;

 private:
  COptionUI* Option(std::string_view name) const;
  CEditUI* Edit(std::string_view name) const;
  bool IsSelected(std::string_view option) const;
  std::string EditText(std::string_view name) const;
  void EnableProxyEdits(bool enable);
  void EnableApply(bool enable);
  void ShowPage(int page);
  // False, with the dialog left open on the proxy page, when the port cannot be used.
  bool Apply();

  ClientContext& context_;
};

// Runs the settings dialog (window name "SystemSetSet") modally over the main window.
void RunSettingsDialog(ClientContext& context);
