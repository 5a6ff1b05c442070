#include "toolkit/controls/control.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

namespace toolkit {

int ParseIntValue(std::string_view v, int fallback) {
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  return ec == std::errc() && end != v.data() ? value : fallback;
}

void ForEachAttribute(std::string_view s, const std::function<void(std::string_view, std::string_view)>& visit) {
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    size_t eq = s.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string_view name = s.substr(i, eq - i);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    size_t open = s.find('"', eq);
    if (open == std::string_view::npos) break;
    size_t close = s.find('"', open + 1);
    if (close == std::string_view::npos) break;
    visit(name, s.substr(open + 1, close - open - 1));
    i = close + 1;
  }
}

}  // namespace toolkit

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_) manager_->ControlGone(this);
}

void* CControlUI::GetInterface(std::string_view name) { return name == "Control" ? this : nullptr; }

void CControlUI::SetName(const CStdString& name) { name_ = name; }

void CControlUI::SetText(const CStdString& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

const CRect& CControlUI::GetPos() const {
  if (manager_ && manager_->NeedsLayout()) manager_->DoLayout();
  return rect_;
}

void CControlUI::SetPos(const CRect& rect) {
  if (float_ && parent_) {
    const CRect& p = parent_->rect_;
    floatPos_ = CRect(rect.left - p.left, rect.top - p.top, rect.right - p.left, rect.bottom - p.top);
    fixedWidth_ = rect.GetWidth();
    fixedHeight_ = rect.GetHeight();
  }
  rect_ = rect;
  NeedUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  fixedWidth_ = std::max(0, cx);
  NeedUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  fixedHeight_ = std::max(0, cy);
  NeedUpdate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (!visible && manager_) {
    // A hidden control must not keep input it can no longer see.
    ForEach([this](CControlUI* c) { manager_->ControlGone(c); });
  }
  ForEach([](CControlUI* c) { c->OnVisibleInTreeChanged(); });
  NeedUpdate();
}

bool CControlUI::IsVisibleInTree() const {
  for (const CControlUI* c = this; c; c = c->GetParent()) {
    if (!c->IsVisible()) return false;
  }
  return true;
}

bool CControlUI::IsEnabledInTree() const {
  for (const CControlUI* c = this; c; c = c->GetParent()) {
    if (!c->IsEnabled()) return false;
  }
  return true;
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetBkImage(const CStdString& image) {
  if (bkImage_ == image) return;
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetBkColor(uint32_t argb) {
  bkColor_ = argb;
  Invalidate();
}

void CControlUI::SetBorderColor(uint32_t argb) {
  borderColor_ = argb;
  Invalidate();
}

void CControlUI::SetColorHSL(bool enable, short h, short s, short l) {
  hslEnabled_ = enable;
  hsl_.hue = std::clamp<short>(h, 0, 360);
  hsl_.saturation = std::clamp<short>(s, 0, 200);
  hsl_.lightness = std::clamp<short>(l, 0, 200);
  Invalidate();
}

uint32_t CControlUI::AdjustColor(uint32_t argb) const {
  return hslEnabled_ ? toolkit::ShiftColor(argb, hsl_) : argb;
}

void CControlUI::ApplyAttributeList(const CStdString& list) {
  toolkit::ForEachAttribute(list.str(),
                            [this](std::string_view name, std::string_view value) { SetAttribute(name, value); });
}

void CControlUI::SetAttribute(std::string_view name, std::string_view value) {
  using toolkit::ParseBool;
  using toolkit::ParseIntValue;
  if (name == "name") {
    SetName(CStdString(value));
  } else if (name == "text") {
    SetText(CStdString(value));
  } else if (name == "tooltip") {
    SetToolTip(CStdString(value));
  } else if (name == "visible") {
    SetVisible(ParseBool(value));
  } else if (name == "enabled") {
    SetEnabled(ParseBool(value));
  } else if (name == "mouse") {
    mouseEnabled_ = ParseBool(value);
  } else if (name == "keyboard") {
    tabStop_ = tabStop_ && ParseBool(value);
  } else if (name == "float") {
    float_ = ParseBool(value);
    NeedUpdate();
  } else if (name == "pos") {
    if (auto r = toolkit::ParseRectValue(value)) {
      floatPos_ = *r;
      fixedWidth_ = std::max(0, r->GetWidth());
      fixedHeight_ = std::max(0, r->GetHeight());
      NeedUpdate();
    }
  } else if (name == "width") {
    SetFixedWidth(ParseIntValue(value));
  } else if (name == "height") {
    SetFixedHeight(ParseIntValue(value));
  } else if (name == "minwidth") {
    minWidth_ = ParseIntValue(value);
    NeedUpdate();
  } else if (name == "maxwidth") {
    maxWidth_ = ParseIntValue(value, 9999);
    NeedUpdate();
  } else if (name == "minheight") {
    minHeight_ = ParseIntValue(value);
    NeedUpdate();
  } else if (name == "maxheight") {
    maxHeight_ = ParseIntValue(value, 9999);
    NeedUpdate();
  } else if (name == "padding") {
    if (auto r = toolkit::ParseRectValue(value)) padding_ = *r;
    NeedUpdate();
  } else if (name == "bkcolor") {
    if (auto c = toolkit::ParseColor(value)) SetBkColor(*c);
  } else if (name == "bordercolor") {
    if (auto c = toolkit::ParseColor(value)) SetBorderColor(*c);
  } else if (name == "bordersize") {
    borderSize_ = ParseIntValue(value);
    Invalidate();
  } else if (name == "bkimage") {
    SetBkImage(CStdString(value));
  } else if (name == "userdata" || name == "tag") {
    tag_ = static_cast<uintptr_t>(ParseIntValue(value));
  }
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  manager_ = manager;
  parent_ = parent;
}

void CControlUI::Layout(const CRect& rect) { rect_ = rect; }

void CControlUI::PaintBackground(toolkit::Renderer& renderer) {
  renderer.FillRect(rect_, AdjustColor(bkColor_));
  if (!bkImage_.IsEmpty()) DrawImage(renderer, bkImage_);
}

bool CControlUI::DrawImage(toolkit::Renderer& renderer, const CStdString& image, const CRect* rect) {
  if (!manager_ || image.IsEmpty()) return false;
  const toolkit::HslShift* shift = hslEnabled_ && !hsl_.IsIdentity() ? &hsl_ : nullptr;
  return renderer.DrawImage(rect ? *rect : rect_, image.str(), manager_->Resources(), manager_->Images(), shift);
}

void CControlUI::DoPaint(toolkit::Renderer& renderer) {
  PaintBackground(renderer);
  renderer.DrawBorder(rect_, AdjustColor(borderColor_), borderSize_);
}

void CControlUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_SCROLLWHEEL) {
    // The wheel scrolls the nearest area around the pointer that can scroll.
    if (parent_) parent_->DoEvent(event);
    return;
  }
  if (event.Type == UIEVENT_SETFOCUS) focused_ = true;
  if (event.Type == UIEVENT_KILLFOCUS) focused_ = false;
  if ((event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSELEAVE) && manager_) Invalidate();
}

bool CControlUI::Activate() { return visible_ && enabled_; }

CControlUI* CControlUI::FindControlAt(POINT point) {
  if (!visible_ || !mouseEnabled_ || !rect_.Contains(point.x, point.y)) return nullptr;
  return this;
}

CControlUI* CControlUI::FindSubControl(std::string_view name) { return name_.str() == name ? this : nullptr; }

void CControlUI::ForEach(const std::function<void(CControlUI*)>& visit) { visit(this); }

void CControlUI::NeedUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::Invalidate() {
  if (manager_) manager_->Invalidate();
}
