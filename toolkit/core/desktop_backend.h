#pragma once
// The desktop's own services behind the backend seam: its message box and folder picker, the
// notification-area icon, the user's browser and the screen's geometry. Dialogs are shown without
// a loop of their own: the toolkit's loop waits for their answer, so every window's timers and
// posted messages go on while one stands, as under a modal skinned dialog.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/core/rect.h"
#include "toolkit/core/win_types.h"

namespace toolkit {

class NativeWindow;

// A dialog of the desktop, standing until answered; destroying it takes it off the screen.
template <typename Answer>
class NativeDialog {
 public:
  virtual ~NativeDialog() = default;
  // The user's answer once given; nothing while the dialog stands. GUI thread.
  virtual std::optional<Answer> GetAnswer() = 0;
};

// IDOK, IDYES, IDNO or IDCANCEL.
using NativeMessageBox = NativeDialog<int>;
// The folder picked (one with a file-system path), or nothing when the user cancelled.
using NativeFolderPicker = NativeDialog<std::optional<std::string>>;

// What a message box of the given type (MB_OK, MB_OKCANCEL or MB_YESNO with an MB_ICON* kind)
// answers when it is closed without a button: never the answer that goes ahead.
inline int MessageBoxClosedAnswer(UINT type) {
  switch (type & 0x0F) {
    case MB_YESNO:
      return IDNO;
    case MB_OKCANCEL:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

// Whether a message box of the given type has a button for answer.
inline bool MessageBoxOffers(UINT type, int answer) {
  switch (type & 0x0F) {
    case MB_YESNO:
      return answer == static_cast<int>(IDYES) || answer == static_cast<int>(IDNO);
    case MB_OKCANCEL:
      return answer == static_cast<int>(IDOK) || answer == static_cast<int>(IDCANCEL);
    default:
      return answer == static_cast<int>(IDOK);
  }
}

// A button of a message box: its text and the answer it gives.
struct MessageBoxButton {
  const char* text;
  int answer;
};

// The buttons of a message box of the given type, left to right, the first the default: the
// programs speak Chinese whatever the desktop's language, so the texts are fixed here.
inline std::vector<MessageBoxButton> MessageBoxButtons(UINT type) {
  switch (type & 0x0F) {
    case MB_YESNO:
      return {{"是", IDYES}, {"否", IDNO}};
    case MB_OKCANCEL:
      return {{"确定", IDOK}, {"取消", IDCANCEL}};
    default:
      return {{"确定", IDOK}};
  }
}

// Where a box of the given size stands: centred on anchor, moved into the work area as far as it
// fits there.
inline CPoint CentredPlace(const CRect& anchor, const CSize& box, const CRect& workArea) {
  int x = anchor.left + (anchor.GetWidth() - box.cx) / 2;
  int y = anchor.top + (anchor.GetHeight() - box.cy) / 2;
  x = std::max(static_cast<int>(workArea.left), std::min(x, static_cast<int>(workArea.right) - box.cx));
  y = std::max(static_cast<int>(workArea.top), std::min(y, static_cast<int>(workArea.bottom) - box.cy));
  return CPoint(x, y);
}

// What the notification-area icon tells its owner.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // A double click with the left button (or the panel's activation of the item).
  virtual void OnTrayActivate() = 0;
  // A press of the right button (or the panel's request for a context menu).
  virtual void OnTrayContextMenu() = 0;
};

enum class TrayMode {
  StatusNotifier,  // a StatusNotifierItem host (panel) shows it
  XEmbed,          // an X11 system tray shows it
  StandIn,         // no notification area: a small always-on-top icon window stands in for it
  Headless,
  ShellIcon,       // the Windows shell's notification area
};

// An icon in the notification area. It comes back by itself when the area's host restarts, until
// it is removed.
class NativeTray {
 public:
  virtual ~NativeTray() = default;
  virtual TrayMode GetMode() const = 0;
  virtual void SetTip(const std::string& tip) = 0;
  // Takes the icon off the desktop for good; false when the desktop refused.
  virtual bool Remove() = 0;
};

class DesktopBackend {
 public:
  virtual ~DesktopBackend() = default;
  // Shows a message box over owner (may be null), centred on anchor (the owner's window, or the
  // work area without one) with the buttons of MessageBoxButtons; null when the desktop cannot show
  // one.
  virtual std::unique_ptr<NativeMessageBox> OpenMessageBox(NativeWindow* owner, const std::string& text,
                                                           const std::string& caption, UINT type,
                                                           const CRect& anchor) = 0;
  // Shows the folder picker over owner (may be null); null when the desktop cannot show one.
  virtual std::unique_ptr<NativeFolderPicker> OpenFolderPicker(NativeWindow* owner, const std::string& title) = 0;
  // Puts an icon (a PNG file; empty for a stock one) with its tip into the notification area; events
  // go to host, which outlives the icon. Null when no icon of any kind can be shown.
  virtual std::unique_ptr<NativeTray> CreateTray(TrayHost* host, const std::string& iconPng,
                                                 const std::string& tip) = 0;
  // Hands url to the user's browser and returns at once; false when it could not be handed over.
  // showCommand (SW_SHOWMAXIMIZED, SW_SHOWNORMAL, ...) is the window the caller asks for. When the
  // hand-over is found to have failed only later (the opener found no browser), failed runs then,
  // on the GUI thread.
  virtual bool OpenUrl(const std::string& url, int showCommand, std::function<void()> failed) = 0;
  // The size of the (primary) screen, and the part of it windows may cover (without panels).
  virtual CSize ScreenSize() = 0;
  virtual CRect WorkArea() = 0;
};

}  // namespace toolkit
