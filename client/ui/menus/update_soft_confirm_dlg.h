#pragma once
// CUpdateSoftConfirmDlg: the question at start-up when the service offers a newer release. Only
// "立即升级" answers yes; "暂不升级", "closebtn" and closing it any other way answer no.

#include "toolkit/ui.h"

class CUpdateSoftConfirmDlg : public CSkinWnd {
 public:
  struct Result {
    bool accepted = false;
  };
  Result GetResult() const { return result_; }

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIUpdateSoftConfirmDlg"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "UpdateSoftConfirm.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }

 private:
  Result result_;
};

// Asks modally, without owner and centred on the screen (window name "软件升级"), whether to
// update now; true when the user chose "立即升级".
bool AskToUpdate();
