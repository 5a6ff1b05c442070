#pragma once
// CUploadProcessDlg: the progress of a sync pass and its result. The pass opens it without waiting
// for it and posts it one message per item that went up, then one for its end: "finished" lists
// per user what went up (and starts those counts anew), "failed" lists per user the scale readings
// still waiting. The result stays until the user closes the window; its option turns the window off
// for later passes.

#include <string>
#include <vector>

#include "client/ui/client_context.h"
#include "client/core/client_messages.h"
#include "toolkit/ui.h"

class CUploadProcessDlg : public CSkinWnd {
 public:
  static constexpr UINT kItemUploaded = client_messages::kMsgItemUploaded;
  static constexpr UINT kPassFinished = client_messages::kMsgPassFinished;
  static constexpr UINT kPassFailed = client_messages::kMsgPassFailed;

  // The context must outlive the window; total is the pass's item count.
  CUploadProcessDlg(ClientContext& context, int total) : context_(context), total_(total) {}

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  int Done() const { return done_; }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIUploadProcessDlg"; }
  CStdString GetSkinFile() const override { return "UploadProcessDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  struct Row {
    std::string uname;
    int count;
  };
  void ItemUploaded();
  void ShowSuccess();
  void ShowFailure();
  // Fills the numbered rows and the total of one summary and shows it in place of the progress.
  void ShowSummary(const char* rowPrefix, const char* totalName, const char* panelName, const std::vector<Row>& rows);
  void SetText(const char* control, const std::string& text);

  ClientContext& context_;
  int total_;
  int done_ = 0;
};

// Opens the progress of a pass of total items over the main window, modeless, window name
// "UploadProcess", centred and shown. The pass posts the three messages to its window. Null when it
// could not be built; the window deletes itself when closed.
CUploadProcessDlg* OpenUploadProgress(ClientContext& context, int total);
