#pragma once
// HistoryPage: page 4 of the main window's user panel, the selected user's history as this
// computer kept it: four figures of the range, the chart of weights and steps, the range options
// and the CSV export into a folder the user picks.

#include <string>

#include "client/core/history/history_view.h"
#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class HistoryPage {
 public:
  static constexpr int kPage = 4;
  static constexpr const char* kNavOption = "历史记录";

  HistoryPage(CPaintManagerUI& manager, ClientContext& context) : pm_(manager), context_(context) {}

  // The page's controls, built from its skin file into a container for the main window's builder.
  static CControlUI* Build(CPaintManagerUI& manager);

  // Handles a click on the page's controls or its entry in the left column; false for any other.
  bool OnClick(const std::string& name, const UserRecord* user);
  // Fills the page for user (null: none) when it is the page shown.
  void Refresh(const UserRecord* user);

 private:
  void Fill(const UserRecord& user);
  void Export(const UserRecord& user);
  bool Showing() const;
  int Today() const;

  CPaintManagerUI& pm_;
  ClientContext& context_;
  HistoryRange range_ = HistoryRange::Month;
};
