#pragma once
// CRenewixDlg: the updater's window. On creation it asks which release is current and starts its
// download; it shows the download's progress and asks before a running download is stopped.

#include <functional>
#include <memory>
#include <string>

#include "toolkit/ui.h"
#include "updater/release_download.h"

class CRenewixDlg : public CSkinWnd {
 public:
  struct Setup {
    std::string endpoint;       // the update API address
    std::string folder;         // where the release is saved and started
    std::string publicKeyHex;   // release signing key; empty starts any release
    std::function<void()> end;  // ends the updater at once; may be called from the download thread
  };

  explicit CRenewixDlg(Setup setup) : setup_(std::move(setup)) {}
  ~CRenewixDlg() override;

  void Notify(TNotifyUI& msg) override;
  // The download under way, if one was started.
  ReleaseDownload* Download() { return download_.get(); }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIRenewixDlg"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "UpdateSoftDownloadDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  bool Downloading() const { return download_ && download_->Running(); }
  void ShowProgress(uint32_t received, uint32_t total);
  void AskToStop();

  Setup setup_;
  std::unique_ptr<ReleaseDownload> download_;
};
