#include "client/ui/dialogs/upload_process_dlg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {
// The skin holds a row per local user.
constexpr int kRows = 4;
constexpr const char* kDontShowAgain = "下次同步不再提示";

std::string Numbered(const char* prefix, int k) { return prefix + std::to_string(k); }
}  // namespace

LRESULT CUploadProcessDlg::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  switch (msg) {
    case kItemUploaded:
      ItemUploaded();
      break;
    case kPassFinished:
      ShowSuccess();
      break;
    case kPassFailed:
      ShowFailure();
      break;
    default:
      return 0;
  }
  handled = true;
  return 0;
}

void CUploadProcessDlg::ItemUploaded() {
  ++done_;
  if (auto* bar = Manager().FindControlAs<CProgressUI>("uploadprogess")) {
    bar->SetMaxValue(total_);
    bar->SetValue(done_);
  }
  if (total_ <= 0) return;
  // A pass can report more items than it counted at its start; the bar is full then, no more.
  int64_t percent = std::min<int64_t>(static_cast<int64_t>(done_) * 100 / total_, 100);
  if (percent < 1) return;
  char text[64];
  std::snprintf(text, sizeof text, "%d%%  正在同步... 请稍后", static_cast<int>(percent));
  SetText("uploadprogresstext", text);
}

void CUploadProcessDlg::ShowSuccess() {
  std::vector<Row> rows;
  UserList& users = context_.core.users;
  for (size_t i = 0; i < users.size(); ++i) {
    const UserRecord& user = *users[i];
    if (user.uploadedThisPass <= 0) continue;
    rows.push_back({user.uname, user.uploadedThisPass});
    // The counts start anew for the next pass; a pass that failed leaves them for this summary.
    context_.core.changes.Edit(i, [](UserRecord& r) { r.uploadedThisPass = 0; });
  }
  ShowSummary("successuser", "successtotal", "resultsuccess", rows);
}

void CUploadProcessDlg::ShowFailure() {
  std::vector<Row> rows;
  for (const auto& user : context_.core.users) {
    int waiting = static_cast<int>(
        std::count_if(user->datalist.begin(), user->datalist.end(), [](const WeightRecord& w) { return !w.uploaded; }));
    if (waiting > 0) rows.push_back({user->uname, waiting});
  }
  ShowSummary("failuser", "failtotal", "resultfail", rows);
}

void CUploadProcessDlg::ShowSummary(const char* rowPrefix, const char* totalName, const char* panelName,
                                    const std::vector<Row>& rows) {
  CPaintManagerUI& pm = Manager();
  int64_t total = 0;
  for (int k = 1; k <= kRows; ++k) {
    if (CControlUI* row = pm.FindControl(Numbered(rowPrefix, k))) row->SetVisible(false);
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    total += rows[i].count;
    // The rows are plain-text labels: a name from the service is shown as it is.
    if (CControlUI* row = pm.FindControl(Numbered(rowPrefix, static_cast<int>(i) + 1))) {
      row->SetText(CStdString(rows[i].uname + " ：" + std::to_string(rows[i].count) + "条"));
      row->SetVisible(true);
    }
  }
  SetText(totalName, std::to_string(total) + "条");
  if (CControlUI* option = pm.FindControl(kDontShowAgain)) option->SetEnabled(true);
  if (auto* tips = pm.FindControlAs<CLabelUI>("tips")) tips->SetTextColor(0);
  for (const char* panel : {"progress", "resultsuccess", "resultfail"}) {
    if (CControlUI* c = pm.FindControl(panel)) c->SetVisible(std::string_view(panel) == panelName);
  }
  context_.core.StoreEveryUser();
}

void CUploadProcessDlg::SetText(const char* control, const std::string& text) {
  if (CControlUI* c = Manager().FindControl(control)) c->SetText(CStdString(text));
}

void CUploadProcessDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "我知道了") {
    Close();
  } else if (name == kDontShowAgain) {
    // The click comes before the option flips: ticking it (unselected until now) turns the window off.
    auto* option = static_cast<COptionUI*>(msg.pSender->GetInterface("Option"));
    if (!option) return;
    context_.core.settings.ShowUpdateWindow = option->IsSelected();
    context_.core.settings.Save();
  }
}

LRESULT CUploadProcessDlg::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    Close();
    handled = true;
  }
  return 0;
}

CUploadProcessDlg* OpenUploadProgress(ClientContext& context, int total) {
  auto* dialog = toolkit::OpenWindow<CUploadProcessDlg>(
      context.mainWindow, "UploadProcess", toolkit::kModalDialogStyle & ~WS_VISIBLE, 0, RECT{}, context, total);
  if (!dialog) return nullptr;
  dialog->CenterWindow();
  dialog->ShowWindow(true);
  return dialog;
}
