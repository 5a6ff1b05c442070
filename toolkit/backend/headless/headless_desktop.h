#pragma once
// The headless twin of the desktop. Message boxes and folder pickers answer from a script once they
// have stood for a given stretch of virtual time, opened addresses are only recorded (nothing is
// started), and the notification area keeps its icons in memory; tests read what was shown.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "toolkit/core/desktop_backend.h"

namespace toolkit {

struct MessageBoxShown {
  const NativeWindow* owner;  // the owner's CWindowWnd::Native(); null without owner
  std::string text;
  std::string caption;
  UINT type;
  CRect anchor;                      // what it stood centred on
  std::vector<std::string> buttons;  // their texts, left to right
};

struct FolderPickerShown {
  const NativeWindow* owner;
  std::string title;
};

struct UrlOpened {
  std::string url;
  int showCommand;
};

struct TrayIconShown {
  std::string iconPng;
  std::string tip;
  bool shown;    // in the notification area now
  bool removed;  // taken off by Remove (rather than by destroying it)
  int adds;      // 1, and one more for every restart of the area's host it came back from
};

class HeadlessDesktop : public DesktopBackend {
 public:
  // clock: the virtual time the script's delays are measured on.
  explicit HeadlessDesktop(std::function<int64_t()> clock) : clock_(std::move(clock)) {}
  ~HeadlessDesktop() override;

  std::unique_ptr<NativeMessageBox> OpenMessageBox(NativeWindow* owner, const std::string& text,
                                                   const std::string& caption, UINT type,
                                                   const CRect& anchor) override;
  std::unique_ptr<NativeFolderPicker> OpenFolderPicker(NativeWindow* owner, const std::string& title) override;
  std::unique_ptr<NativeTray> CreateTray(TrayHost* host, const std::string& iconPng, const std::string& tip) override;
  bool OpenUrl(const std::string& url, int showCommand, std::function<void()> failed) override;
  // From now on pages cannot be handed over, as on a desktop without a browser.
  void SetNoBrowser(bool none) { noBrowser_ = none; }
  CSize ScreenSize() override { return screen_; }
  CRect WorkArea() override { return workArea_; }

  // The next message box answers answer once it has stood afterMs; without a queued answer a box
  // answers the default (IDOK at first). An answer the box has no button for closes it instead.
  void QueueMessageBoxAnswer(int answer, int64_t afterMs = 0);
  void SetDefaultMessageBoxAnswer(int answer) { defaultAnswer_ = answer; }
  // The next folder picker gives folder (nothing: cancelled) once it has stood afterMs; without a
  // queued answer a picker is cancelled at once.
  void QueueFolderAnswer(std::optional<std::string> folder, int64_t afterMs = 0);

  // Without a notification area no icon can be created.
  void SetNotificationAreaAvailable(bool available) { areaAvailable_ = available; }
  // The area's host restarts: every icon still shown is added again.
  void RestartNotificationArea();
  // The user double-clicks or right-clicks the newest icon still shown; false when none is.
  bool DoubleClickTrayIcon();
  bool RightClickTrayIcon();

  void SetScreen(const CSize& size, const CRect& workArea) {
    screen_ = size;
    workArea_ = workArea;
  }

  // What was shown, oldest first.
  const std::vector<MessageBoxShown>& MessageBoxes() const { return boxes_; }
  const std::vector<FolderPickerShown>& FolderPickers() const { return pickers_; }
  const std::vector<UrlOpened>& OpenedUrls() const { return urls_; }
  const std::vector<TrayIconShown>& TrayIcons() const { return icons_; }
  // Forgets what was shown, the script and the screen set; dialogs that stand keep their answers.
  void Reset();

  // The earliest virtual time a standing dialog answers; nothing when none stands.
  std::optional<int64_t> NextAnswerDue() const;

 private:
  class Tray;
  template <typename Answer>
  struct Scripted {
    Answer answer;
    int64_t afterMs;
  };
  Tray* NewestShownTray() const;

  std::function<int64_t()> clock_;
  std::multiset<int64_t> standing_;  // when each standing dialog answers
  std::deque<Scripted<int>> boxAnswers_;
  int defaultAnswer_ = IDOK;
  std::deque<Scripted<std::optional<std::string>>> folderAnswers_;
  std::vector<MessageBoxShown> boxes_;
  std::vector<FolderPickerShown> pickers_;
  std::vector<UrlOpened> urls_;
  std::vector<TrayIconShown> icons_;
  std::vector<Tray*> trays_;  // live icons, oldest first; each knows its entry in icons_
  bool areaAvailable_ = true;
  static constexpr int kScreenWidth = 1280;
  static constexpr int kScreenHeight = 1024;
  CSize screen_{kScreenWidth, kScreenHeight};
  CRect workArea_{0, 0, kScreenWidth, kScreenHeight};
  bool noBrowser_ = false;
};

}  // namespace toolkit
