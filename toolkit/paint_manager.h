#pragma once
// CPaintManagerUI: the skin side of one window. It holds the control tree, lays it out and paints
// it, turns mouse and key messages into control events and notifications, runs the window's
// pre-message filters, and keeps the window's fonts, default attributes and images. Its static
// part is the process-wide state: the instance, where skins are read from, and the message loop.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/controls/control.h"
#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"
#include "toolkit/render/renderer.h"

namespace toolkit {
class ResourceSource;
}

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Binds this manager to its window; call once, in WM_CREATE.
  void Init(HWND hwnd);
  HWND GetPaintWindow() const { return hwnd_; }
  // Takes ownership of the tree and sends "windowinit" once the window's set-up has returned.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }

  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);

  // The first control named name (tree order); null if none.
  CControlUI* FindControl(std::string_view name) const;
  // The deepest visible control at point (client coordinates); null if none.
  CControlUI* FindControl(POINT point) const;
  // The control named name when it is a T; null otherwise.
  template <class T>
  T* FindControlAs(std::string_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }

  const CRect& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const RECT& rect) { caption_ = rect; }
  SIZE GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = CSize(cx, cy); }
  SIZE GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy);
  // The smallest and largest size the user may give a window with a size box (0: no limit).
  SIZE GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy);
  SIZE GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy);
  // Widths of the edges by which the user resizes the window; all 0 (the default) keeps its size.
  const CRect& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const RECT& rect);
  // Only pop-up menus paint on a transparent background; other windows start from white.
  void SetBackgroundTransparent(bool transparent);
  bool IsBackgroundTransparent() const { return transparentBackground_; }
  // Window opacity from the skin (0..255).
  void SetTransparent(int alpha);

  // The manager's share of a window's message handling: true when handled, with result set.
  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Tells every notifier; safe when a notifier destroys the window.
  void SendNotify(CControlUI* control, std::string_view type, WPARAM wParam = 0, LPARAM lParam = 0);

  // Fonts by index in skin order; index -1 or out of range gives the default font.
  int AddFont(const toolkit::FontSpec& font, bool makeDefault = false);
  const toolkit::FontSpec& GetFont(int index) const;
  // name="value" lists every control of a class starts from ("Button", "Option", ...).
  void AddDefaultAttributeList(const CStdString& className, const CStdString& list);
  const CStdString* GetDefaultAttributeList(std::string_view className) const;

  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // Tab: the focus goes to the next (or previous) enabled, shown tab stop in tree order, round
  // the end. False when the window has none.
  bool MoveFocus(bool forward);
  CControlUI* GetHot() const { return hot_; }

  // Layout and painting.
  void NeedUpdate();
  void Invalidate();
  bool NeedsLayout() const { return needLayout_ && !inLayout_; }
  void DoLayout();
  // Paints the whole tree onto cr (client coordinates).
  void Render(toolkit::Renderer& renderer);
  toolkit::ImageCache& Images() { return images_; }
  // Where this window's skin files and images are read from.
  const toolkit::ResourceSource& Resources() const;

  // A control is going away: forget it as hot, pressed or focused.
  void ControlGone(CControlUI* control);
  // The manager bound to hwnd, or null.
  static CPaintManagerUI* FromWindow(HWND hwnd);

  // Process-wide.
  static void SetInstance(void* instance) { instance_ = instance; }
  static void* GetInstance() { return instance_; }
  // Folder of the running program, without a trailing separator.
  static CStdString GetInstancePath();
  static void SetResourcePath(const CStdString& path);
  static CStdString GetResourcePath();
  // An archive, relative to the resource path (or the instance path) unless absolute; skins are
  // then read from it. An empty name goes back to the folder.
  static void SetResourceZip(const CStdString& path);
  static CStdString GetResourceZip();
  // The current source of skins: the archive when one is set, else the resource folder.
  static const toolkit::ResourceSource& CurrentResources();
  // Runs the message loop until WM_QUIT; returns its exit code.
  static int MessageLoop();
  // Handles the messages, timers and window-system events waiting now, then returns.
  static void PumpMessages();

 private:
  static bool FilterHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnMouse(UINT msg, POINT pt);
  // The tip of control over the window, or none.
  void ShowTooltip(CControlUI* control);
  void ApplySizeLimits();
  void SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam = 0);

  HWND hwnd_ = nullptr;
  CControlUI* root_ = nullptr;
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preFilters_;
  std::shared_ptr<bool> alive_;
  CControlUI* focus_ = nullptr;
  CControlUI* hot_ = nullptr;
  CControlUI* pressed_ = nullptr;
  CRect caption_;
  CSize roundCorner_;
  CSize initSize_;
  CSize minInfo_;
  CSize maxInfo_;
  CRect sizeBox_;
  bool transparentBackground_ = false;
  bool needLayout_ = true;
  bool inLayout_ = false;
  CRect laidOut_;
  std::vector<toolkit::FontSpec> fonts_;
  int defaultFont_ = -1;
  std::vector<std::pair<CStdString, CStdString>> defaults_;
  toolkit::ImageCache images_;
  bool initSent_ = false;

  static void* instance_;
};
