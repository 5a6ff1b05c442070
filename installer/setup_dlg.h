#pragma once
// CSetupDlg: the installer's window, pages in the tab layout "switch": 0 welcome, 1 the program
// folder and the shortcut options, 2 the progress of the installation, 3 the finishing options, 4
// the failure that ended an installation. "安装" starts the install thread; its messages move the
// progress and open the finishing page, where "完成" applies the chosen options and ends Setup, or
// the failure page, from where "上一步" leads back to the folder. Quitting before the end asks
// first, and stops a running installation before Setup ends.

#include <functional>
#include <memory>
#include <string>

#include "installer/free_space.h"
#include "installer/install_job.h"
#include "installer/installation.h"
#include "installer/runtime_check.h"
#include "toolkit/ui.h"

class CSetupDlg : public CSkinWnd {
 public:
  struct Setup {
    std::string folder;    // the program folder offered at start-up
    InstallPlaces places;  // where the installation reaches outside the folder
    std::shared_ptr<const FreeSpaceSource> freeSpace;
    std::shared_ptr<const LibraryProbe> libraries;
    std::function<void()> end;  // ends Setup at once (exit code 0)
  };

  static constexpr const char* kWindowName = "安装程序";

  explicit CSetupDlg(Setup setup);
  // Waits for an install thread still running.
  ~CSetupDlg() override;

  void Notify(TNotifyUI& msg) override;

  // Set once the install thread has reported a whole installation.
  bool Finished() const { return finished_; }
  // Set while the failure page shows.
  bool Failed() const { return failed_; }
  // The installation under way or done; null before "安装".
  const InstallJob* Job() const { return job_.get(); }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIRenewixDlg"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "SetupDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  class Poster;

  int Page() const;
  void GoToPage(int page);
  void Show(const char* control, bool visible);
  bool Selected(const char* option) const;
  std::string FolderText() const;

  void OnClick(const CStdString& name);
  void UpdateFreeSpace();
  void Browse();
  void StartInstall();
  void ShowProgress(WPARAM step, LPARAM steps);
  void ShowFinished(bool failed);
  void ShowFailure(const std::string& text);
  void BackToFolder();
  void Finish();
  void Quit();
  void Tell(const std::string& text);

  Setup setup_;
  bool finished_ = false;
  bool failed_ = false;
  // Declared before the job, so it outlives the thread that posts through it.
  std::unique_ptr<Poster> poster_;
  std::unique_ptr<InstallJob> job_;
};
