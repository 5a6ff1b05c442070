#include "toolkit/controls/button.h"

#include "toolkit/core/win_api.h"
#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

void* CButtonUI::GetInterface(std::string_view name) {
  return name == "Button" ? this : CLabelUI::GetInterface(name);
}

void CButtonUI::SetNormalImage(const CStdString& image) {
  normalImage_ = image;
  Invalidate();
}
void CButtonUI::SetHotImage(const CStdString& image) {
  hotImage_ = image;
  Invalidate();
}
void CButtonUI::SetPushedImage(const CStdString& image) {
  pushedImage_ = image;
  Invalidate();
}
void CButtonUI::SetFocusedImage(const CStdString& image) {
  focusedImage_ = image;
  Invalidate();
}
void CButtonUI::SetDisabledImage(const CStdString& image) {
  disabledImage_ = image;
  Invalidate();
}
void CButtonUI::SetForeImage(const CStdString& image) {
  foreImage_ = image;
  Invalidate();
}

bool CButtonUI::Activate() {
  if (!CLabelUI::Activate()) return false;
  if (manager_) manager_->SendNotify(this, "click");
  return true;
}

void CButtonUI::SetAttribute(std::string_view name, std::string_view value) {
  CStdString v(value);
  if (name == "normalimage") {
    SetNormalImage(v);
  } else if (name == "hotimage") {
    SetHotImage(v);
  } else if (name == "pushedimage") {
    SetPushedImage(v);
  } else if (name == "focusedimage") {
    SetFocusedImage(v);
  } else if (name == "disabledimage") {
    SetDisabledImage(v);
  } else if (name == "foreimage") {
    SetForeImage(v);
  } else if (name == "hottextcolor") {
    if (auto c = toolkit::ParseColor(value)) hotTextColor_ = *c;
  } else if (name == "pushedtextcolor") {
    if (auto c = toolkit::ParseColor(value)) pushedTextColor_ = *c;
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_MOUSEENTER:
      hot_ = true;
      break;
    case UIEVENT_MOUSELEAVE:
      hot_ = false;
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (enabled_) pushed_ = true;
      break;
    case UIEVENT_BUTTONUP:
      if (pushed_) {
        pushed_ = false;
        Invalidate();
        if (rect_.Contains(event.ptMouse.x, event.ptMouse.y)) Activate();  // may destroy the window
        return;
      }
      break;
    case UIEVENT_KEYDOWN:
      if (event.wParam == VK_SPACE) {
        Activate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

CStdString CButtonUI::StateImage() const {
  if (!enabled_) return disabledImage_.IsEmpty() ? normalImage_ : disabledImage_;
  if (pushed_ && !pushedImage_.IsEmpty()) return pushedImage_;
  if ((hot_ || pushed_) && !hotImage_.IsEmpty()) return hotImage_;
  if (focused_ && !focusedImage_.IsEmpty()) return focusedImage_;
  return normalImage_;
}

uint32_t CButtonUI::StateTextColor() const {
  if (enabled_ && pushed_ && pushedTextColor_) return AdjustColor(pushedTextColor_);
  if (enabled_ && hot_ && hotTextColor_) return AdjustColor(hotTextColor_);
  return CurrentTextColor();
}

void CButtonUI::DoPaint(toolkit::Renderer& renderer) {
  PaintBackground(renderer);
  CStdString image = StateImage();
  if (!image.IsEmpty()) DrawImage(renderer, image);
  if (!foreImage_.IsEmpty()) DrawImage(renderer, foreImage_);
  renderer.DrawBorder(rect_, AdjustColor(borderColor_), borderSize_);
  PaintText(renderer, StateTextColor());
}

// Options ------------------------------------------------------------------------------------------

COptionUI::~COptionUI() = default;

void* COptionUI::GetInterface(std::string_view name) {
  return name == "Option" ? this : CButtonUI::GetInterface(name);
}

void COptionUI::SetGroup(const CStdString& group) {
  group_ = group;
  if (selected_) {
    selected_ = false;
    Selected(true);  // keep a group to one selected option
  }
}

void COptionUI::SetSelectedImage(const CStdString& image) {
  selectedImage_ = image;
  Invalidate();
}

void COptionUI::Selected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  if (selected_ && !group_.IsEmpty()) {
    auto release = [this](CControlUI* c) {
      auto* other = dynamic_cast<COptionUI*>(c);
      if (other && other != this && other->group_ == group_ && other->selected_) {
        other->selected_ = false;
        other->Invalidate();
        if (manager_) manager_->SendNotify(other, "selectchanged");
      }
    };
    // While a skin is being built there is no root yet: the options built so far hang below this
    // option's topmost ancestor.
    CControlUI* top = manager_ ? manager_->GetRoot() : nullptr;
    if (!top) {
      top = this;
      while (top->GetParent()) top = top->GetParent();
    }
    top->ForEach(release);
  }
  Invalidate();
  if (manager_) manager_->SendNotify(this, "selectchanged");
}

bool COptionUI::Activate() {
  HWND window = manager_ ? manager_->GetPaintWindow() : nullptr;
  if (!CButtonUI::Activate()) return false;  // "click" first, with the state as it was
  if (window && !IsWindow(window)) return true;  // the click closed the window, and this option with it
  if (!group_.IsEmpty()) {
    Selected(true);  // a group always keeps one option selected
  } else {
    Selected(!selected_);
  }
  return true;
}

void COptionUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "group") {
    SetGroup(CStdString(value));
  } else if (name == "selected") {
    Selected(toolkit::ParseBool(value));
  } else if (name == "selectedimage") {
    SetSelectedImage(CStdString(value));
  } else if (name == "selectedhotimage") {
    selectedHotImage_ = CStdString(value);
  } else if (name == "selectedtextcolor") {
    if (auto c = toolkit::ParseColor(value)) selectedTextColor_ = *c;
  } else {
    CButtonUI::SetAttribute(name, value);
  }
}

CStdString COptionUI::StateImage() const {
  if (selected_) {
    if (hot_ && !selectedHotImage_.IsEmpty()) return selectedHotImage_;
    if (!selectedImage_.IsEmpty()) return selectedImage_;
  }
  return CButtonUI::StateImage();
}

uint32_t COptionUI::StateTextColor() const {
  if (selected_ && selectedTextColor_) return AdjustColor(selectedTextColor_);
  return CButtonUI::StateTextColor();
}
