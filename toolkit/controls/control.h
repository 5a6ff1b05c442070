#pragma once
// CControlUI: the base of every skin control: name, text, position in the layout, colours and
// background image, visibility and enabled state. The notification and filter interfaces the
// windows implement live here too.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"
#include "toolkit/render/hsl.h"

class CControlUI;
class CPaintManagerUI;
namespace toolkit {
class Renderer;
}

// A notification of a control to the window: type ("click", "windowinit", "textchanged",
// "selectchanged", ...) and sender.
struct TNotifyUI {
  CStdString sType;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Runs before the window's own handling of a message from the loop; set handled to swallow it.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

enum UiEventType {
  UIEVENT_MOUSEMOVE = 1,
  UIEVENT_MOUSEENTER,
  UIEVENT_MOUSELEAVE,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_DBLCLICK,
  UIEVENT_KEYDOWN,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
  UIEVENT_SCROLLWHEEL,
};

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  POINT ptMouse;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual CStdString GetClass() const { return "ControlUI"; }
  // Interfaces a control offers by name ("Container", "Button", ...); null when not offered.
  virtual void* GetInterface(std::string_view name);

  const CStdString& GetName() const { return name_; }
  void SetName(const CStdString& name);
  virtual CStdString GetText() const { return text_; }
  virtual void SetText(const CStdString& text);
  const CStdString& GetToolTip() const { return tooltip_; }
  void SetToolTip(const CStdString& text) { tooltip_ = text; }
  uintptr_t GetTag() const { return tag_; }
  void SetTag(uintptr_t tag) { tag_ = tag; }

  // Position in client coordinates, after the layout.
  const CRect& GetPos() const;
  // A floating control moves there (relative to its parent from then on); any other control
  // until the next layout.
  virtual void SetPos(const CRect& rect);
  int GetX() const { return GetPos().left; }
  int GetY() const { return GetPos().top; }
  int GetWidth() const { return GetPos().GetWidth(); }
  int GetHeight() const { return GetPos().GetHeight(); }
  int GetFixedWidth() const { return fixedWidth_; }
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  const CRect& GetPadding() const { return padding_; }
  bool IsFloat() const { return float_; }
  const CRect& GetFloatPos() const { return floatPos_; }
  int GetMinWidth() const { return minWidth_; }
  int GetMaxWidth() const { return maxWidth_; }
  int GetMinHeight() const { return minHeight_; }
  int GetMaxHeight() const { return maxHeight_; }

  virtual bool IsVisible() const { return visible_; }
  // Visible, and so is every container around it.
  bool IsVisibleInTree() const;
  virtual void SetVisible(bool visible = true);
  // Runs on this control and all inside it when it is shown or hidden: what stands outside the
  // drawn tree (a native text entry) follows here. The default does nothing.
  virtual void OnVisibleInTreeChanged() {}
  bool IsEnabled() const { return enabled_; }
  // Enabled, and so is every container around it: only then does it take input.
  bool IsEnabledInTree() const;
  virtual void SetEnabled(bool enabled = true);
  bool IsFocused() const { return focused_; }
  // Gives this control the keyboard focus of its window.
  virtual void SetFocus();
  bool IsMouseEnabled() const { return mouseEnabled_; }
  // Whether Tab stops here (buttons, options and edits unless the skin says keyboard="false").
  bool IsTabStop() const { return tabStop_; }

  const CStdString& GetBkImage() const { return bkImage_; }
  void SetBkImage(const CStdString& image);
  void SetBkColor(uint32_t argb);
  uint32_t GetBkColor() const { return bkColor_; }
  void SetBorderColor(uint32_t argb);
  // Shifts the colours and images this control draws in hue (0..360), saturation and lightness
  // (0..200 percent each); 180/100/100 leaves them as they are.
  virtual void SetColorHSL(bool enable, short h, short s, short l);

  // Applies name="value" pairs, in order.
  void ApplyAttributeList(const CStdString& list);
  virtual void SetAttribute(std::string_view name, std::string_view value);

  CPaintManagerUI* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Attaches this control and its children to a window's manager.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);

  // Layout: this control gets rect (client coordinates).
  virtual void Layout(const CRect& rect);
  // Painting (the renderer clips to the window's dirty area).
  virtual void DoPaint(toolkit::Renderer& renderer);
  virtual void DoEvent(TEventUI& event);
  // What a click does; false when the control is not active.
  virtual bool Activate();

  // The deepest visible control at point (client coordinates), this one or a child; null if none.
  virtual CControlUI* FindControlAt(POINT point);
  // This control or a descendant named name; null if none.
  virtual CControlUI* FindSubControl(std::string_view name);
  // Calls visit for this control and every descendant, parents first.
  virtual void ForEach(const std::function<void(CControlUI*)>& visit);

  // Asks the window to lay out again and redraw.
  void NeedUpdate();
  void Invalidate();

 protected:
  void PaintBackground(toolkit::Renderer& renderer);
  bool DrawImage(toolkit::Renderer& renderer, const CStdString& image, const CRect* rect = nullptr);
  uint32_t AdjustColor(uint32_t argb) const;

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  CStdString name_;
  CStdString text_;
  CStdString tooltip_;
  uintptr_t tag_ = 0;
  CRect rect_;
  CRect floatPos_;
  CRect padding_;
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  int minWidth_ = 0;
  int maxWidth_ = 9999;
  int minHeight_ = 0;
  int maxHeight_ = 9999;
  bool float_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool focused_ = false;
  bool mouseEnabled_ = true;
  bool tabStop_ = false;
  uint32_t bkColor_ = 0;
  uint32_t borderColor_ = 0;
  int borderSize_ = 0;
  CStdString bkImage_;
  bool hslEnabled_ = false;
  toolkit::HslShift hsl_;
};

namespace toolkit {
// true/false attribute values as skins write them.
inline bool ParseBool(std::string_view v) { return v == "true" || v == "1" || v == "True" || v == "TRUE"; }
int ParseIntValue(std::string_view v, int fallback = 0);
// Calls visit with each name="value" pair of an attribute list, in order; stops at the first pair
// that is not closed.
void ForEachAttribute(std::string_view list, const std::function<void(std::string_view, std::string_view)>& visit);
}  // namespace toolkit
