#pragma once
// A real top-level window of the system for one toolkit window: its own window class ("UI" + role),
// pop-up style without a caption, a region for the rounded corners, painting through GDI+ and the
// mouse, keys and focus reported as WindowEvents. Also the edit fields placed over edit controls.

#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend/win32/system_types.h"

namespace toolkit::win32 {

class SystemWindow {
 public:
  // Null when the system refuses the window.
  static std::unique_ptr<SystemWindow> Create(WindowEvents* events, const WindowSpec& spec);
  ~SystemWindow();
  SystemWindow(const SystemWindow&) = delete;
  SystemWindow& operator=(const SystemWindow&) = delete;

  void* Handle() const { return hwnd_; }
  void SetTitle(const std::string& title);
  void SetDecorated(bool decorated);
  void SetTopMost(bool topMost);
  void SetBounds(const Box& screenRect);
  void Show(bool visible, bool minimized, bool activate);
  void Invalidate();
  void SetShape(const std::vector<Box>& bands);
  void SetOpacity(double opacity);
  void SetEnabled(bool enabled);
  // Moves the window with the pointer until the button is let go (the system's own move loop).
  void BeginMoveDrag();
  void BeginResizeDrag(int edge);
  void SetEdgeCursor(int hit);
  void SetIconFile(const std::string& pngPath);
  void SetTooltip(const std::string& text);
  // Paints the window as it shows now into a PNG file; false when it has no size or cannot be written.
  bool SavePicture(const std::string& path);

  // The system's messages for this window; not for callers.
  intptr_t Handle(unsigned msg, uintptr_t wParam, intptr_t lParam);

 private:
  SystemWindow(WindowEvents* events) : events_(events) {}
  void PaintInto(std::vector<uint32_t>& pixels, int& width, int& height);

  WindowEvents* events_;
  void* hwnd_ = nullptr;
  void* icon_ = nullptr;
  bool tracking_ = false;  // the pointer's leaving is watched
  int edgeCursor_ = 0;
};

class SystemEdit {
 public:
  // A child edit field of parent (a SystemWindow's handle); null when the system refuses it.
  static std::unique_ptr<SystemEdit> Create(void* parent, EditEvents* events);
  ~SystemEdit();
  SystemEdit(const SystemEdit&) = delete;
  SystemEdit& operator=(const SystemEdit&) = delete;

  void* Handle() const { return hwnd_; }
  void SetBounds(const Box& clientRect);
  void SetText(const std::string& text);
  void SetPassword(bool on);
  void SetReadOnly(bool on);
  void SetVisible(bool on);
  void SetEnabled(bool on);
  void SetFont(const std::string& family, int pixelSize);
  void SetTextColor(uint32_t rgb);
  uint32_t TextColor() const { return color_; }
  void Focus();
  void Blur();

  // The field's messages; not for callers.
  intptr_t Handle(unsigned msg, uintptr_t wParam, intptr_t lParam);
  void OnCommand(unsigned code);

 private:
  explicit SystemEdit(EditEvents* events) : events_(events) {}
  EditEvents* events_;
  void* hwnd_ = nullptr;
  void* font_ = nullptr;
  uint32_t color_ = 0x333333;
  bool settingText_ = false;
  int lineHeight_ = 0;  // of the font, once one is set
  Box bounds_{};
  void* previous_ = nullptr;  // the edit class's own procedure
};

}  // namespace toolkit::win32
