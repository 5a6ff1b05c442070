#pragma once
// CAddHardWareDlg: binds the devices attached to the PC to one user. Three pages that only move
// forward: what to do, the list of attached devices to choose from, the result. "下一步" on the
// list binds the chosen devices one by one from the last row up; a refusal keeps the list so the
// user can change the choice. The result page offers the scale settings ("hardset"), which the
// main window opens after the dialog when the result asks for it.

#include <array>
#include <cstddef>
#include <string>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CAddHardWareDlg : public CSkinWnd {
 public:
  static constexpr int kRows = 3;
  enum Page { kIntroPage = 0, kListPage = 1, kResultPage = 2 };

  struct Result {
    bool openSettings = false;  // the user chose "hardset" on the result page
  };
  Result GetResult() const { return result_; }

  // The user at userIndex of the context's list; the window is not built for an index beyond it.
  CAddHardWareDlg(ClientContext& context, size_t userIndex) : context_(context), userIndex_(userIndex) {}

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "AddHardWareDlg"; }
  CStdString GetSkinFile() const override { return "AddNewHardDlg.xml"; }
  bool OnSkinReady() override;

 private:
  CControlUI* Find(std::string_view name) const { return Manager().FindControl(name); }
  COptionUI* RowOption(int row) const;
  void Show(std::string_view name, bool shown) const;
  void SetButtonImages(std::string_view button) const;

  void OnNext();
  void OnRowClicked(int row);
  void ShowAttachedDevices();
  // Binds the chosen rows; true when the result page may follow.
  bool BindChosen();
  void ShowResultPage();

  ClientContext& context_;
  size_t userIndex_;
  int rowCount_ = 0;
  std::array<std::string, 3> codes_;  // by device kind
  std::array<bool, 3> boundNow_{};    // by device kind
  Result result_;
};

// Runs the dialog modally over the main window, window name "AddHardWare", for user userIndex.
CAddHardWareDlg::Result RunAddHardwareDialog(ClientContext& context, size_t userIndex);
