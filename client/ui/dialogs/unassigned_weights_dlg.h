#pragma once
// CUnassignedWeightsDlg: the scale readings no user took, newest first, eight to a page. The user
// chooses one and gives it to a user whose scale is bound (the next pass uploads it) or discards it
// after a question. Readings stay in the list until one of the two succeeded.

#include <optional>
#include <string>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CUnassignedWeightsDlg : public CSkinWnd {
 public:
  static constexpr int kRowsPerPage = 8;
  static constexpr int kUserChoices = 4;

  struct Result {
    int given = 0;
    int discarded = 0;
  };
  Result GetResult() const { return result_; }

  explicit CUnassignedWeightsDlg(ClientContext& context) : context_(context) {}

  void Notify(TNotifyUI& msg) override;

  // "2024-05-20" and "08:00:00" from a reading's exact time; its date text and an empty time when
  // the exact time is not one.
  static std::pair<std::string, std::string> DateAndTime(const WeightRecord& reading);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIUnassignedWeights"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "UnassignedDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;

 private:
  void Fill();
  void FillUsers();
  void UpdateButtons();
  int Pages() const;
  // The list index of the reading row (1-based) shows on this page, if it shows one.
  std::optional<size_t> ReadingAt(int row) const;
  // The list index of the chosen row, if any.
  std::optional<size_t> Chosen() const;
  // The user index of the chosen user, if any.
  std::optional<size_t> ChosenUser() const;
  void Give();
  void Discard();

  ClientContext& context_;
  int page_ = 0;
  Result result_;
};

// Runs the list (window name "UnassignedDlg") modally over the main window.
CUnassignedWeightsDlg::Result RunUnassignedDialog(ClientContext& context);
