#pragma once
// Desktop facilities the windows need: the system message box, the folder picker, the tray icon,
// and publishing titled windows so other processes can find and raise them.

#include <memory>
#include <optional>
#include <string>

#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"

namespace toolkit {

// The platform's message box: text, caption, MB_OK or MB_YESNO with an MB_ICON* kind; owner
// disabled while it stands. Returns IDOK, IDYES or IDNO (IDCANCEL when closed otherwise).
int ShowMessageBox(HWND owner, const CStdString& text, const CStdString& caption, UINT type);
// The folder picker; nothing when the user cancels or picks no folder with a file-system path.
std::optional<std::string> BrowseForFolder(HWND owner, const CStdString& title);
// From now on every titled top-level window is findable from other processes of this user
// (platform::FindWindowByTitle), and is shown and raised when one asks.
void PublishTitledWindows();

// An icon in the desktop's notification area. Its events reach target as callbackMessage with
// wParam = id and lParam = WM_LBUTTONDBLCLK (activation), WM_RBUTTONDOWN then WM_RBUTTONUP
// (context menu), as the shell reports them.
class TrayIcon {
 public:
  enum class Mode {
    StatusNotifier,  // a StatusNotifierItem host (panel) shows it
    XEmbed,          // an X11 system tray shows it
    StandIn,         // no notification area: a small always-on-top icon window stands in for it
    Headless,
  };
  virtual ~TrayIcon() = default;
  // Null when no icon of any kind can be shown.
  static std::unique_ptr<TrayIcon> Create(HWND target, UINT callbackMessage, UINT id, const std::string& iconPng,
                                          const CStdString& tip);
  virtual Mode GetMode() const = 0;
  virtual void SetTip(const CStdString& tip) = 0;
  // What the desktop reports; also for tests.
  void Activate() const;
  void ContextMenu() const;

 protected:
  TrayIcon(HWND target, UINT message, UINT id) : target_(target), message_(message), id_(id) {}

 private:
  HWND target_;
  UINT message_;
  UINT id_;
};

namespace headless {
// Answers of the headless message box and folder picker, and what they were last asked.
void SetMessageBoxAnswer(int answer);
const std::string& LastMessageBoxText();
void SetFolderAnswer(std::optional<std::string> folder);
}  // namespace headless

}  // namespace toolkit
