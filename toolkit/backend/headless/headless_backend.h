#pragma once
// The headless twin of the window system: windows without a display, a virtual clock that only
// moves when told (or when a blocking loop has nothing else to do), input injected by tests, and a
// desktop whose dialogs answer from a script.

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "toolkit/core/backend.h"
#include "toolkit/backend/headless/headless_desktop.h"

namespace toolkit {

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  bool IsHeadless() const override { return true; }
  std::unique_ptr<NativeWindow> CreateNativeWindow(WindowHost* host, const WindowParams& params) override;
  int64_t NowMs() override { return now_; }
  void DispatchReady() override;
  void Wait(std::optional<int64_t> deadlineMs) override;
  void Wake() override;
  HeadlessDesktop& Desktop() override { return desktop_; }
  CPoint CursorPos() override { return cursor_; }
  void WatchReadable(int fd, std::function<void()> onReadable) override;
  void UnwatchReadable(int fd) override;

  // Moves the virtual clock; timers fire when the loop runs next.
  void Advance(int64_t ms) { now_ += ms; }
  void SetCursorPos(CPoint p) { cursor_ = p; }
  // Called when a blocking loop (message loop, modal loop, fade) has nothing to do; it returns
  // false when it has nothing to do either. Lets a test act inside a modal loop.
  void SetIdleHandler(std::function<bool()> handler) { idle_ = std::move(handler); }

 private:
  bool PollFds(int timeoutMs);

  int64_t now_ = 1'000'000;
  CPoint cursor_{640, 400};
  HeadlessDesktop desktop_{[this] { return now_; }};
  std::function<bool()> idle_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::map<int, std::function<void()>> watched_;
  // Wake-ups where there is no pipe to poll.
  std::mutex wakeMutex_;
  std::condition_variable wakeCondition_;
  bool woken_ = false;
};

// The headless window of one toolkit window: what the toolkit last asked of it.
class HeadlessWindow : public NativeWindow {
 public:
  explicit HeadlessWindow(const WindowParams& params) : params_(params), rect_(params.rect) {}
  void SetTitle(const std::string& title) override { params_.title = title; }
  void SetDecorated(bool decorated) override { decorated_ = decorated; }
  void SetTopMost(bool topMost) override { params_.topMost = topMost; }
  void SetBounds(const CRect& screenRect) override { rect_ = screenRect; }
  void Show(bool visible, bool minimized, bool activate) override {
    visible_ = visible;
    minimized_ = minimized;
    if (activate) ++activations_;
  }
  void Invalidate() override { ++invalidations_; }
  void SetShape(const std::vector<CRect>& bands) override { shape_ = bands; }
  void SetOpacity(double opacity) override { opacity_ = opacity; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void BeginMoveDrag(int, int) override { ++moveDrags_; }
  void BeginResizeDrag(int edge, int, int) override { resizeEdge_ = edge; }
  void SetEdgeCursor(int hit) override { edgeCursor_ = hit; }
  void SetResizable(bool resizable, const CSize& minSize, const CSize& maxSize) override {
    resizable_ = resizable;
    minSize_ = minSize;
    maxSize_ = maxSize;
  }
  void SetIconFile(const std::string& pngPath) override { icon_ = pngPath; }
  void SetTooltip(const std::string& text) override { tooltip_ = text; }
  std::unique_ptr<TextEntry> CreateTextEntry(TextEntryHost*) override { return nullptr; }

  const WindowParams& Params() const { return params_; }
  const CRect& Rect() const { return rect_; }
  bool Visible() const { return visible_; }
  bool Minimized() const { return minimized_; }
  bool Decorated() const { return decorated_; }
  double Opacity() const { return opacity_; }
  int MoveDrags() const { return moveDrags_; }
  // The edge of the last resize drag the user began (0: none yet).
  int ResizeEdge() const { return resizeEdge_; }
  bool Resizable() const { return resizable_; }
  int EdgeCursor() const { return edgeCursor_; }
  const CSize& MinSize() const { return minSize_; }
  const CSize& MaxSize() const { return maxSize_; }
  int Activations() const { return activations_; }
  const std::string& Tooltip() const { return tooltip_; }
  const std::string& Icon() const { return icon_; }

 private:
  WindowParams params_;
  CRect rect_;
  bool visible_ = false;
  bool minimized_ = false;
  bool decorated_ = true;
  bool enabled_ = true;
  double opacity_ = 1.0;
  int moveDrags_ = 0;
  int resizeEdge_ = 0;
  int edgeCursor_ = 0;
  bool resizable_ = false;
  CSize minSize_;
  CSize maxSize_;
  int activations_ = 0;
  int invalidations_ = 0;
  std::vector<CRect> shape_;
  std::string icon_;
  std::string tooltip_;
};

}  // namespace toolkit
