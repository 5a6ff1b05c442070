// The toolkit's backend on Windows: real windows, the system's message loop and the shell's services,
// reached through the Win32 files of this folder. CreateDefaultBackend is here.

#include "toolkit/backend/win32/gdiplus_canvas.h"
#include "toolkit/backend/win32/system_desktop.h"
#include "toolkit/backend/win32/system_loop.h"
#include "toolkit/backend/win32/system_window.h"
#include "toolkit/backend/win32/win32_backend.h"
#include "toolkit/core/backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/render/gdiplus_renderer.h"

namespace toolkit {
namespace {

win32::Box BoxOf(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }
CRect RectOf(const win32::Box& b) { return CRect(b.left, b.top, b.right, b.bottom); }

class Win32Entry final : public TextEntry, private win32::EditEvents {
 public:
  Win32Entry(TextEntryHost* host, void* parent) : host_(host), edit_(win32::SystemEdit::Create(parent, this)) {}
  bool Valid() const { return edit_ != nullptr; }

  void SetBounds(const CRect& clientRect) override { edit_->SetBounds(BoxOf(clientRect)); }
  void SetText(const std::string& text) override { edit_->SetText(text); }
  void SetPassword(bool on) override { edit_->SetPassword(on); }
  void SetReadOnly(bool on) override { edit_->SetReadOnly(on); }
  void SetVisible(bool on) override { edit_->SetVisible(on); }
  void SetEnabled(bool on) override { edit_->SetEnabled(on); }
  void SetFont(const std::string& family, int pixelSize) override {
    // The first face of the fallbacks the system has; the edit's own font matching does the rest.
    edit_->SetFont(family, pixelSize);
  }
  void SetTextColor(uint32_t argb) override { edit_->SetTextColor(argb & 0xFFFFFF); }
  void Focus() override { edit_->Focus(); }
  void Blur() override { edit_->Blur(); }

 private:
  void Changed(const std::string& text) override { host_->OnEntryChanged(text); }
  void Key(uintptr_t virtualKey) override { host_->OnEntryKey(virtualKey); }
  void Focus(bool gained) override { host_->OnEntryFocus(gained); }

  TextEntryHost* host_;
  std::unique_ptr<win32::SystemEdit> edit_;
};

class Win32Window final : public NativeWindow, private win32::WindowEvents {
 public:
  Win32Window(WindowHost* host, const WindowParams& params) : host_(host) {
    win32::WindowSpec spec;
    spec.className = params.className;
    spec.title = params.title;
    spec.rect = BoxOf(params.rect);
    spec.popup = params.popup;
    spec.toolWindow = params.toolWindow;
    spec.topMost = params.topMost;
    spec.owner = params.owner ? params.owner->SystemHandle() : nullptr;
    window_ = win32::SystemWindow::Create(this, spec);
  }
  bool Valid() const { return window_ != nullptr; }

  void SetTitle(const std::string& title) override { window_->SetTitle(title); }
  void SetDecorated(bool decorated) override { window_->SetDecorated(decorated); }
  void SetTopMost(bool topMost) override { window_->SetTopMost(topMost); }
  void SetBounds(const CRect& screenRect) override { window_->SetBounds(BoxOf(screenRect)); }
  void Show(bool visible, bool minimized, bool activate) override { window_->Show(visible, minimized, activate); }
  void Invalidate() override { window_->Invalidate(); }
  void SetShape(const std::vector<CRect>& bands) override {
    std::vector<win32::Box> boxes;
    for (const CRect& b : bands) boxes.push_back(BoxOf(b));
    window_->SetShape(boxes);
  }
  void SetOpacity(double opacity) override { window_->SetOpacity(opacity); }
  void SetEnabled(bool enabled) override { window_->SetEnabled(enabled); }
  void BeginMoveDrag(int, int) override { window_->BeginMoveDrag(); }
  void BeginResizeDrag(int edge, int, int) override { window_->BeginResizeDrag(edge); }
  void SetResizable(bool, const CSize&, const CSize&) override {}
  void SetEdgeCursor(int hit) override { window_->SetEdgeCursor(hit); }
  void SetIconFile(const std::string& pngPath) override { window_->SetIconFile(pngPath); }
  void SetTooltip(const std::string& text) override { window_->SetTooltip(text); }
  std::unique_ptr<TextEntry> CreateTextEntry(TextEntryHost* host) override {
    auto entry = std::make_unique<Win32Entry>(host, window_->Handle());
    if (!entry->Valid()) return nullptr;
    return entry;
  }
  void* SystemHandle() const override { return window_->Handle(); }
  bool SavePicture(const std::string& path) { return window_->SavePicture(path); }

 private:
  void Paint(win32::Canvas& canvas) override {
    GdiplusRenderer renderer(canvas);
    host_->OnNativePaint(renderer);
  }
  void Mouse(unsigned msg, int x, int y) override { host_->OnNativeMouse(msg, x, y); }
  void Key(uintptr_t virtualKey, bool shift) override {
    Dispatcher::Instance().SetShiftDown(shift);
    host_->OnNativeKey(virtualKey);
    Dispatcher::Instance().SetShiftDown(false);
  }
  void Wheel(int x, int y, int delta) override { host_->OnNativeWheel(x, y, delta); }
  void Focus(bool gained) override { host_->OnNativeFocus(gained); }
  void Moved(const win32::Box& screenRect) override { host_->OnNativeMoved(RectOf(screenRect)); }
  void Minimized(bool minimized) override { host_->OnNativeMinimized(minimized); }
  void CloseRequest() override { host_->OnNativeCloseRequest(); }

  WindowHost* host_;
  std::unique_ptr<win32::SystemWindow> window_;
};

// A dialog the system ran to its end before it was handed over: the answer is there at once.
template <typename Answer>
class AnsweredDialog final : public NativeDialog<Answer> {
 public:
  explicit AnsweredDialog(Answer answer) : answer_(std::move(answer)) {}
  std::optional<Answer> GetAnswer() override { return answer_; }

 private:
  Answer answer_;
};

class Win32Tray final : public NativeTray, private win32::TrayEvents {
 public:
  Win32Tray(TrayHost* host, const std::string& iconPng, const std::string& tip)
      : host_(host), tray_(win32::SystemTray::Create(this, iconPng, tip)) {}
  bool Valid() const { return tray_ != nullptr; }
  TrayMode GetMode() const override { return TrayMode::ShellIcon; }
  void SetTip(const std::string& tip) override { tray_->SetTip(tip); }
  bool Remove() override { return tray_->Remove(); }

 private:
  void Activate() override { host_->OnTrayActivate(); }
  void ContextMenu() override { host_->OnTrayContextMenu(); }

  TrayHost* host_;
  std::unique_ptr<win32::SystemTray> tray_;
};

class Win32Desktop final : public DesktopBackend {
 public:
  // The system's message box has the desktop's own placement (centred on the owner) and buttons.
  std::unique_ptr<NativeMessageBox> OpenMessageBox(NativeWindow* owner, const std::string& text,
                                                   const std::string& caption, UINT type, const CRect&) override {
    int answer = win32::RunMessageBox(owner ? owner->SystemHandle() : nullptr, text, caption, type);
    if (answer == 0) return nullptr;
    if (!MessageBoxOffers(type, answer)) answer = MessageBoxClosedAnswer(type);
    return std::make_unique<AnsweredDialog<int>>(answer);
  }
  std::unique_ptr<NativeFolderPicker> OpenFolderPicker(NativeWindow* owner, const std::string& title) override {
    return std::make_unique<AnsweredDialog<std::optional<std::string>>>(
        win32::RunFolderPicker(owner ? owner->SystemHandle() : nullptr, title));
  }
  std::unique_ptr<NativeTray> CreateTray(TrayHost* host, const std::string& iconPng, const std::string& tip) override {
    auto tray = std::make_unique<Win32Tray>(host, iconPng, tip);
    if (!tray->Valid()) return nullptr;
    return tray;
  }
  // The shell tells at once whether it found a handler, so failed never runs later.
  bool OpenUrl(const std::string& url, int showCommand, std::function<void()>) override {
    return win32::ShellOpen(url, showCommand);
  }
  CSize ScreenSize() override {
    win32::Box s = win32::PrimaryScreen();
    return CSize(s.Width(), s.Height());
  }
  CRect WorkArea() override { return RectOf(win32::WorkArea()); }
};

class Win32Backend final : public Backend {
 public:
  Win32Backend() {
    // Inside the system's own loops (a move drag, a message box) the toolkit's messages and timers
    // are delivered from there.
    win32::SystemLoop::Instance().SetForeignPump([] { Dispatcher::Instance().DeliverWaiting(); });
  }
  bool IsHeadless() const override { return false; }
  std::unique_ptr<NativeWindow> CreateNativeWindow(WindowHost* host, const WindowParams& params) override {
    auto window = std::make_unique<Win32Window>(host, params);
    if (!window->Valid()) return nullptr;
    return window;
  }
  int64_t NowMs() override { return win32::SystemLoop::Instance().NowMs(); }
  void DispatchReady() override { win32::SystemLoop::Instance().DispatchReady(); }
  void Wait(std::optional<int64_t> deadlineMs) override { win32::SystemLoop::Instance().Wait(deadlineMs); }
  void Wake() override { win32::SystemLoop::Instance().Wake(); }
  DesktopBackend& Desktop() override { return desktop_; }
  CPoint CursorPos() override;
  // Descriptors are not waited on here: the window registry finds windows by their titles through
  // the system on Windows.
  void WatchReadable(int, std::function<void()>) override {}
  void UnwatchReadable(int) override {}

 private:
  Win32Desktop desktop_;
};

}  // namespace

CPoint Win32Backend::CursorPos() {
  win32::Box p = win32::CursorPosition();
  return CPoint(p.left, p.top);
}

std::unique_ptr<Backend> CreateDefaultBackend() { return std::make_unique<Win32Backend>(); }

bool SaveWindowPicture(NativeWindow* window, const std::string& path) {
  auto* own = dynamic_cast<Win32Window*>(window);
  return own && own->SavePicture(path);
}

}  // namespace toolkit
