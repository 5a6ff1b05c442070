#include "toolkit/desktop/desktop.h"

#include <algorithm>

#include "toolkit/core/dispatcher.h"
#include "toolkit/core/win_api.h"
#include "toolkit/core/window_wnd.h"

namespace toolkit {

namespace {

DesktopBackend& Desk() { return Dispatcher::Instance().GetBackend().Desktop(); }

NativeWindow* NativeOf(HWND hwnd) {
  CWindowWnd* w = Dispatcher::Instance().Find(hwnd);
  return w ? w->Native() : nullptr;
}

// Keeps the owner of a desktop dialog disabled while the dialog stands, and gives it the focus back
// afterwards, as a modal skinned dialog does.
class OwnerHold {
 public:
  explicit OwnerHold(HWND owner) : owner_(IsWindow(owner) ? owner : nullptr) {
    disabled_ = owner_ && IsWindowEnabled(owner_);
    if (disabled_) EnableWindow(owner_, false);
  }
  ~OwnerHold() {
    if (!IsWindow(owner_)) return;
    if (disabled_) EnableWindow(owner_, true);
    SetForegroundWindow(owner_);
  }
  OwnerHold(const OwnerHold&) = delete;
  OwnerHold& operator=(const OwnerHold&) = delete;

  bool OwnerGone() const { return owner_ && !IsWindow(owner_); }

 private:
  HWND owner_;
  bool disabled_ = false;
};

// Runs the program's loop until the dialog is answered, its owner is gone (a dialog goes with its
// owner) or a quit is pending; nothing in the last two cases.
template <typename Answer>
std::optional<Answer> WaitFor(NativeDialog<Answer>& dialog, const OwnerHold& owner) {
  std::optional<Answer> answer;
  Dispatcher::Instance().RunUntil([&] {
    answer = dialog.GetAnswer();
    return answer.has_value() || owner.OwnerGone();
  });
  return answer;
}

bool IsAddress(const std::string& url) {
  if (url.empty() || url.size() > kMaxUrlBytes || url[0] == '-') return false;
  return std::none_of(url.begin(), url.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

// What a box over owner stands centred on: the owner's window while it is on the screen, otherwise
// the part of the screen windows may cover.
CRect AnchorFor(HWND owner) {
  RECT rect{};
  if (IsWindow(owner) && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &rect)) return rect;
  return Desk().WorkArea();
}

}  // namespace

int ShowMessageBox(HWND owner, const CStdString& text, const CStdString& caption, UINT type) {
  int closed = MessageBoxClosedAnswer(type);
  CRect anchor = AnchorFor(owner);
  OwnerHold hold(owner);
  std::unique_ptr<NativeMessageBox> box =
      Desk().OpenMessageBox(NativeOf(owner), text.str(), caption.str(), type, anchor);
  if (!box) return closed;
  std::optional<int> answer = WaitFor(*box, hold);
  box.reset();  // off the screen before the owner takes the focus back
  return answer.value_or(closed);
}

std::optional<std::string> BrowseForFolder(HWND owner, const CStdString& title) {
  OwnerHold hold(owner);
  std::unique_ptr<NativeFolderPicker> picker = Desk().OpenFolderPicker(NativeOf(owner), title.str());
  if (!picker) return std::nullopt;
  std::optional<std::optional<std::string>> answer = WaitFor(*picker, hold);
  picker.reset();
  return answer ? *answer : std::nullopt;
}

bool OpenUrl(const std::string& url, int showCommand, std::function<void()> failed) {
  return IsAddress(url) && Desk().OpenUrl(url, showCommand, std::move(failed));
}

// Tray ----------------------------------------------------------------------------------------------

std::unique_ptr<TrayIcon> TrayIcon::Create(HWND target, UINT message, UINT id, const std::string& iconPng,
                                           const CStdString& tip) {
  if (!IsWindow(target)) return nullptr;
  std::unique_ptr<TrayIcon> icon(new TrayIcon(target, message, id));
  icon->native_ = Desk().CreateTray(icon.get(), iconPng, tip.str());
  if (!icon->native_) return nullptr;
  return icon;
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::SetTip(const CStdString& tip) {
  if (!removed_) native_->SetTip(tip.str());
}

bool TrayIcon::Remove() {
  if (removed_) return true;
  removed_ = true;
  return native_->Remove();
}

void TrayIcon::OnTrayActivate() {
  if (!removed_) PostMessage(target_, message_, id_, WM_LBUTTONDBLCLK);
}

void TrayIcon::OnTrayContextMenu() {
  if (removed_) return;
  PostMessage(target_, message_, id_, WM_RBUTTONDOWN);
  PostMessage(target_, message_, id_, WM_RBUTTONUP);
}

}  // namespace toolkit

// Screen geometry -----------------------------------------------------------------------------------

int GetSystemMetrics(int index) {
  CSize screen = toolkit::Desk().ScreenSize();
  if (index == SM_CXSCREEN) return screen.cx;
  if (index == SM_CYSCREEN) return screen.cy;
  return 0;
}

bool SystemParametersInfo(UINT action, UINT, void* param, UINT) {
  if (action != SPI_GETWORKAREA || !param) return false;
  *static_cast<RECT*>(param) = toolkit::Desk().WorkArea();
  return true;
}
