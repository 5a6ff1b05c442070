#pragma once
// One toolkit window as a GTK top-level window: a drawing area the renderer paints, with real
// text entries placed over the edit controls.

#include <gtk/gtk.h>

#include "toolkit/core/backend.h"
#include "toolkit/render/gfx_holders.h"

namespace toolkit {

class GtkNativeWindow : public NativeWindow {
 public:
  GtkNativeWindow(WindowHost* host, const WindowParams& params);
  ~GtkNativeWindow() override;

  void SetTitle(const std::string& title) override;
  void SetDecorated(bool decorated) override;
  void SetTopMost(bool topMost) override;
  void SetBounds(const CRect& screenRect) override;
  void Show(bool visible, bool minimized, bool activate) override;
  void Invalidate() override;
  void SetShape(const std::vector<CRect>& bands) override;
  void SetOpacity(double opacity) override;
  void SetEnabled(bool enabled) override;
  void BeginMoveDrag(int screenX, int screenY) override;
  void BeginResizeDrag(int edge, int screenX, int screenY) override;
  void SetResizable(bool resizable, const CSize& minSize, const CSize& maxSize) override;
  void SetEdgeCursor(int hit) override;
  void SetIconFile(const std::string& pngPath) override;
  void SetTooltip(const std::string& text) override;
  std::unique_ptr<TextEntry> CreateTextEntry(TextEntryHost* host) override;

  GtkWidget* Widget() const { return window_.get(); }
  // Where the window system has put the window (the user may move and resize it).
  void NoteConfigured(const CRect& screenRect) { rect_ = screenRect; }
  WindowHost* Host() const { return host_; }

 private:
  WindowHost* host_;
  GObjectRef<GtkWidget> window_;
  void ApplyAreaRequest();

  GtkWidget* overlay_ = nullptr;
  GtkWidget* area_ = nullptr;
  CRect rect_;
  bool minimized_ = false;
  bool resizable_ = false;
};

}  // namespace toolkit
