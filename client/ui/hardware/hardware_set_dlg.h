#pragma once
// CHardWareSetDlg: the scale settings of one user: the reference weight a reading must be near to
// be this user's, and how near (±0.5, ±1.0 or ±2.0 kg). "recalibration" asks for one weighing;
// while the dialog stands it is the context's scale settings dialog, so the main window hands it
// each live weight (client_messages::kMsgLiveWeight), which becomes the new reference weight. Only "确定"
// keeps the values; every other way out leaves the user as it was.

#include <cstddef>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CHardWareSetDlg : public CSkinWnd {
 public:
  enum Page { kRangePage = 0, kWeighingPage = 1 };

  struct Result {
    bool stored = false;  // "确定" changed and stored the user
  };
  Result GetResult() const { return result_; }

  // The user at userIndex of the context's list; the window is not built for an index beyond it.
  CHardWareSetDlg(ClientContext& context, size_t userIndex) : context_(context), userIndex_(userIndex) {}
  ~CHardWareSetDlg() override;

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "HardWareSetDlg"; }
  CStdString GetSkinFile() const override { return "SetHardWarDlg.xml"; }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void ShowWeight() const;
  void SelectPage(Page page) const;
  // The chosen range option, 1 to 3.
  int ChosenOption() const;
  void Confirm();
  // The main window stops handing weights to this dialog.
  void Forget();

  ClientContext& context_;
  size_t userIndex_;
  float referenceWeight_ = 0.0f;
  Result result_;
};

// Runs the dialog modally over the main window, window name "HardWareSet", for user userIndex;
// returns once it is gone (nothing is shown for an index beyond the list).
void RunScaleSettingsDialog(ClientContext& context, size_t userIndex);
