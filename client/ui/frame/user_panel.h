#pragma once
// UserPanel: what the main window shows of its users: the four slots across the top with their
// photos, names, levels and states, the selected slot, the selected user's bound devices (page 0)
// and account options (page 1), and the pages for a logged-out user (2) and for no user (3).

#include <vector>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class UserPanel {
 public:
  static constexpr int kMaxSlots = 4;
  static constexpr int kHardwarePage = 0;
  static constexpr int kAccountPage = 1;
  static constexpr int kLoggedOutPage = 2;
  static constexpr int kNoUserPage = 3;

  UserPanel(CPaintManagerUI& manager, ClientContext& context) : pm_(manager), context_(context) {}

  // Shows one slot per user (and the slot that adds one while there is room).
  void RebuildSlots();
  // Draws slot (1-based) as the selected one and the others as not; false, with nothing changed,
  // when there is no such slot.
  bool ShowSelected(int slot);
  // The selected slot (1-based) or -1, and its user (null for none).
  int Selected() const { return selected_; }
  UserRecord* SelectedUser() const;
  size_t SelectedIndex() const { return static_cast<size_t>(selected_ - 1); }
  // Forgets the selection (the slot went); the next ShowSelected picks again.
  void SetSelected(int slot) { selected_ = slot; }

  // Shows the remembered tab of the user panel.
  void ShowRememberedTab();
  void RememberTab(int tab) { lastTab_ = tab; }
  // Page 0: the selected user's devices, or page 2 when the user is not logged in.
  void RefreshEntries();
  // Page 1: the selected user's options, or page 2 when the user is not logged in.
  void RefreshAccountPage();
  // Reads the seven options of page 1 back into record.
  void ReadAccountPage(UserRecord& record) const;
  // A click on the option of entry 1 or 2.
  void OnEntrySelected(int entry);
  // The three options of the left column leave no entry chosen.
  void ClearEntrySelection();
  // The device kinds of the entries chosen on page 0, entry 1 first.
  std::vector<DeviceKind> SelectedEntryKinds() const;
  // The reminder text with a count, or the bare word for a count below 0 (no user chosen).
  void SetReminderText(int count);

 private:
  template <class T = CControlUI>
  T* Find(const std::string& name) const {
    return pm_.FindControlAs<T>(name);
  }
  void SetEnabled(const char* name, bool enabled) const;
  void SetText(const std::string& name, const std::string& text) const;
  void SetBk(const std::string& name, const std::string& image) const;
  void SetTab(int page) const;
  void SetSlotColours(int slot, uint32_t argb) const;
  bool EntrySelected(int entry) const;
  std::string EntryName(int entry) const;

  CPaintManagerUI& pm_;
  ClientContext& context_;
  int selected_ = -1;
  int lastTab_ = kHardwarePage;
  // The menu buttons made for the slots at the last rebuild.
  std::vector<CControlUI*> menuButtons_;
};
