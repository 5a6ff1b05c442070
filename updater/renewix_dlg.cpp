#include "updater/renewix_dlg.h"

#include <cstdio>

#include "updater/updater_messages.h"
#include "toolkit/desktop/desktop.h"
#include "updater/download_stop_confirm_dlg.h"
#include "updater/update_query.h"

namespace {

constexpr const char* kCaption = "软件升级";
// The same notes for every release: the answer carries none.
constexpr const char* kReleaseNotes = "1.0.1.1\r\n1、修复已知bug\r\n2、新增一些功能\r\n";

}  // namespace

CRenewixDlg::~CRenewixDlg() = default;

bool CRenewixDlg::OnSkinReady() {
  if (CControlUI* notes = Manager().FindControl("updatecontent")) notes->SetText(kReleaseNotes);
  if (CControlUI* status = Manager().FindControl("updatetext")) status->SetText("正在创建连接...");
  ReleaseOffer offer = UpdateQuery(setup_.endpoint);
  if (offer.url.empty()) {
    // The window stays; its close button then ends the updater.
    toolkit::ShowMessageBox(nullptr, "创建连接失败！", kCaption, MB_OK);
    return true;
  }
  download_ = std::make_unique<ReleaseDownload>(std::move(offer), setup_.folder, setup_.publicKeyHex, *this,
                                                updater_messages::kMsgUpdaterStartFailed, setup_.end);
  download_->Start();
  return true;
}

LRESULT CRenewixDlg::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (msg == platform::kMsgHttpProgress) {
    ShowProgress(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
    handled = true;
  } else if (msg == updater_messages::kMsgUpdaterStartFailed) {
    toolkit::ShowMessageBox(nullptr, "未知错误，未能启动升级软件", kCaption, MB_OK);
    handled = true;
  }
  return 0;
}

void CRenewixDlg::ShowProgress(uint32_t received, uint32_t total) {
  if (total == 0) return;  // no length, no share to show
  int percent = static_cast<int>(static_cast<double>(received) * 100.0 / total);
  if (percent < 1) return;
  if (auto* bar = dynamic_cast<CProgressUI*>(Manager().FindControl("downprogress"))) {
    bar->SetValue(static_cast<int>(received / 1000));
    bar->SetMaxValue(static_cast<int>(total / 1000));
  }
  char text[64];
  std::snprintf(text, sizeof text, "正在下载中，当前进度%d%%...", percent);
  if (CControlUI* status = Manager().FindControl("updatetext")) status->SetText(text);
}

void CRenewixDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "取消" || name == "closebtn") AskToStop();
}

void CRenewixDlg::AskToStop() {
  // Nothing to stop: both buttons end the updater.
  if (!Downloading()) {
    setup_.end();
    return;
  }
  download_->Gate().Hold();
  bool stop = toolkit::RunModal<CDownloadStopConfirmDlg>(GetHWND(), kCaption).stop;
  if (stop) {
    download_->Gate().Abandon();
    setup_.end();
    return;
  }
  download_->Gate().Release();
}
