#pragma once
// CDownloadStopConfirmDlg: the question whether to stop a download that is under way. Any click
// closes it; only "确定" answers yes.

#include "toolkit/ui.h"

class CDownloadStopConfirmDlg : public CSkinWnd {
 public:
  struct Result {
    bool stop = false;
  };
  Result GetResult() const { return result_; }

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIDownloadStopConfirmDlg"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "DownloadStopConfirm.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }

 private:
  Result result_;
};
