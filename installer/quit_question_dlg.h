#pragma once
// CQuitQuestionDlg: the installer's question. In the mode "退出程序" it asks whether to leave an
// unfinished installation; in "检测软件" it tells that the client is running and shows its picture
// instead of the question. Any click closes it; only "确认" answers yes.

#include <string>

#include "toolkit/ui.h"

class CQuitQuestionDlg : public CSkinWnd {
 public:
  static constexpr const char* kQuitMode = "退出程序";
  static constexpr const char* kClientRunningMode = "检测软件";
  static constexpr const char* kWindowName = "QuitQuestion";

  struct Result {
    bool confirmed = false;
  };
  Result GetResult() const { return result_; }

  explicit CQuitQuestionDlg(std::string mode) : mode_(std::move(mode)) {}

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIQuitQuestion"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "QuitQuestionDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;

 private:
  std::string mode_;
  Result result_;
};

// Asks the question of mode modally over owner (none: on its own, centred on the screen); true when
// the user confirmed.
bool AskSetupQuestion(HWND owner, const std::string& mode);
