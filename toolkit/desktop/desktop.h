#pragma once
// Desktop facilities the windows need: the system message box, the folder picker, the tray icon,
// pages opened in the browser, and publishing titled windows so other processes can find and raise
// them. All on the GUI thread. While a message box or the folder picker stands, the program's loop
// runs: every window's timers fire and posted messages arrive, as under a modal skinned dialog.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "toolkit/core/desktop_backend.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"

namespace toolkit {

// The platform's message box: text, caption, MB_OK, MB_OKCANCEL or MB_YESNO with an MB_ICON* kind;
// owner (may be null) disabled while it stands. Returns the button pressed (IDOK, IDYES, IDNO,
// IDCANCEL). A box closed without a button, or ended by a quit or by its owner's destruction,
// answers what does not go ahead: IDOK, IDNO or IDCANCEL by its type.
int ShowMessageBox(HWND owner, const CStdString& text, const CStdString& caption, UINT type);
// The folder picker, owner disabled while it stands; nothing when the user cancels or picks no
// folder with a file-system path (and when a quit or the owner's destruction ends it).
std::optional<std::string> BrowseForFolder(HWND owner, const CStdString& title);
// Hands url to the user's browser and returns at once; false when it could not be handed over or
// is no address (empty, over kMaxUrlBytes, control characters, or a leading '-' an opener would take
// for an option). showCommand is the window asked for (SW_SHOWMAXIMIZED for a page opened
// maximised); where the desktop cannot honour it the browser chooses.
inline constexpr size_t kMaxUrlBytes = 8192;
// failed runs later, on this thread, when the hand-over is found to have failed only after OpenUrl
// returned (the desktop's opener found no browser).
bool OpenUrl(const std::string& url, int showCommand = SW_SHOWMAXIMIZED, std::function<void()> failed = {});
// From now on every titled top-level window is findable from other processes of this user
// (platform::FindWindowByTitle), and is shown and raised when one asks.
void PublishTitledWindows();

// An icon in the desktop's notification area. Its events reach target as callbackMessage with
// wParam = id and lParam = WM_LBUTTONDBLCLK (activation), WM_RBUTTONDOWN then WM_RBUTTONUP
// (context menu), as the shell reports them. The icon comes back by itself when the area's host
// restarts, until it is removed; destroying the object removes it.
class TrayIcon : private TrayHost {
 public:
  using Mode = TrayMode;
  ~TrayIcon() override;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Null when target is not a window or no icon of any kind can be shown.
  static std::unique_ptr<TrayIcon> Create(HWND target, UINT callbackMessage, UINT id, const std::string& iconPng,
                                          const CStdString& tip);
  Mode GetMode() const { return native_->GetMode(); }
  void SetTip(const CStdString& tip);
  // Takes the icon off the notification area for good; true when it is gone (also when it already
  // was). No event arrives after it.
  bool Remove();
  bool IsRemoved() const { return removed_; }

 private:
  TrayIcon(HWND target, UINT message, UINT id) : target_(target), message_(message), id_(id) {}
  void OnTrayActivate() override;
  void OnTrayContextMenu() override;

  HWND target_;
  UINT message_;
  UINT id_;
  std::unique_ptr<NativeTray> native_;
  bool removed_ = false;
};

}  // namespace toolkit
