#include "toolkit/controls/edit.h"

#include <algorithm>

#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

CEditUI::CEditUI() {
  textPadding_ = CRect(2, 0, 2, 0);
  tabStop_ = true;
}

CEditUI::~CEditUI() = default;

void* CEditUI::GetInterface(std::string_view name) { return name == "Edit" ? this : CLabelUI::GetInterface(name); }

void CEditUI::SetText(const CStdString& text) {
  CLabelUI::SetText(text);
  if (entry_ && !syncing_) entry_->SetText(text_.str());
}

void CEditUI::SetPasswordMode(bool on) {
  password_ = on;
  if (entry_) entry_->SetPassword(on);
  Invalidate();
}

void CEditUI::SetReadOnly(bool on) {
  readOnly_ = on;
  if (entry_) entry_->SetReadOnly(on);
}

void CEditUI::TypeText(const CStdString& text) {
  if (!enabled_ || readOnly_) return;
  for (char32_t cp : toolkit::DecodeUtf8(text.str())) {
    if (text_.GetLength() >= maxChar_) return;
    OnEntryChanged(text_.str() + toolkit::EncodeUtf8(std::u32string(1, cp)));
  }
}

void CEditUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  SyncEntry();
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (entry_) entry_->SetEnabled(enabled);
}

void CEditUI::SetFocus() {
  CLabelUI::SetFocus();
  if (entry_) entry_->Focus();
}

void CEditUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "password") {
    SetPasswordMode(toolkit::ParseBool(value));
  } else if (name == "readonly") {
    SetReadOnly(toolkit::ParseBool(value));
  } else if (name == "maxchar") {
    maxChar_ = toolkit::ParseIntValue(value, 255);
  } else if (name == "normalimage") {
    normalImage_ = CStdString(value);
  } else if (name == "hotimage") {
    hotImage_ = CStdString(value);
  } else if (name == "focusedimage") {
    focusedImage_ = CStdString(value);
  } else if (name == "disabledimage") {
    disabledImage_ = CStdString(value);
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

// Places the native entry over the control, made on the first layout inside a real window.
void CEditUI::SyncEntry() {
  if (!manager_) return;
  if (!entry_ && !entryTried_) {
    entryTried_ = true;
    CWindowWnd* window = toolkit::Dispatcher::Instance().Find(manager_->GetPaintWindow());
    if (window && window->Native()) entry_ = window->Native()->CreateTextEntry(this);
    if (entry_) {
      const toolkit::FontSpec& font = manager_->GetFont(font_);
      entry_->SetFont(font.family, font.size);
      entry_->SetTextColor(textColor_);
      entry_->SetPassword(password_);
      entry_->SetReadOnly(readOnly_);
      entry_->SetEnabled(enabled_);
      entry_->SetText(text_.str());
    }
  }
  if (!entry_) return;
  CRect r = rect_;
  r.Deflate(textPadding_.left, textPadding_.top, textPadding_.right, textPadding_.bottom);
  entry_->SetBounds(r);
  entry_->SetVisible(IsVisibleInTree() && !r.IsEmpty());
}

void CEditUI::Layout(const CRect& rect) {
  CLabelUI::Layout(rect);
  SyncEntry();
}

CStdString CEditUI::DisplayText() const {
  if (!password_) return text_;
  std::string dots;
  for (int i = 0; i < text_.GetLength(); ++i) dots += "\xE2\x97\x8F";  // U+25CF
  return CStdString(dots);
}

void CEditUI::DoPaint(toolkit::Renderer& renderer) {
  PaintBackground(renderer);
  const CStdString* image = &normalImage_;
  if (!enabled_ && !disabledImage_.IsEmpty()) {
    image = &disabledImage_;
  } else if (focused_ && !focusedImage_.IsEmpty()) {
    image = &focusedImage_;
  } else if (hot_ && !hotImage_.IsEmpty()) {
    image = &hotImage_;
  }
  if (!image->IsEmpty()) DrawImage(renderer, *image);
  renderer.DrawBorder(rect_, AdjustColor(borderColor_), borderSize_);
  if (!entry_) {
    bool markup = showHtml_;
    showHtml_ = false;  // what a user typed is never markup
    PaintText(renderer, CurrentTextColor());
    showHtml_ = markup;
  }
}

void CEditUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_MOUSEENTER) hot_ = true;
  if (event.Type == UIEVENT_MOUSELEAVE) hot_ = false;
  if (event.Type == UIEVENT_BUTTONDOWN && entry_) entry_->Focus();
  // Keys typed after the focus moved on (Tab, a click on a button) must not land in this field.
  if (event.Type == UIEVENT_KILLFOCUS && entry_) entry_->Blur();
  CLabelUI::DoEvent(event);
}

void CEditUI::OnEntryChanged(const std::string& text) {
  if (text == text_.str()) return;
  syncing_ = true;
  CLabelUI::SetText(CStdString(text));
  syncing_ = false;
  if (manager_) manager_->SendNotify(this, "textchanged");
}

void CEditUI::OnEntryKey(WPARAM virtualKey) {
  // Keys typed into the entry reach the window like any key, so its filters see Return and Escape.
  if (manager_) {
    if (CWindowWnd* window = toolkit::Dispatcher::Instance().Find(manager_->GetPaintWindow())) {
      window->OnNativeKey(virtualKey);
    }
  }
}

void CEditUI::OnEntryFocus(bool gained) {
  if (gained && manager_ && manager_->GetFocus() != this) manager_->SetFocus(this);
}

// Rich edit ----------------------------------------------------------------------------------------

CRichEditUI::CRichEditUI() { textStyle_ = toolkit::kTextWordBreak; }

void* CRichEditUI::GetInterface(std::string_view name) {
  return name == "RichEdit" ? this : CLabelUI::GetInterface(name);
}

void CRichEditUI::SetScrollPos(int pixels) {
  pending_ = std::max(0, pixels);
  Invalidate();
}

void CRichEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CLabelUI::SetManager(manager, parent);
  bar_.ApplyDefaults(manager);
}

void CRichEditUI::SetText(const CStdString& text) {
  CLabelUI::SetText(text);
  SetScrollPos(0);
}

void CRichEditUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "readonly") {
    readOnly_ = toolkit::ParseBool(value);
  } else if (name == "vscrollbar") {
    vscroll_ = toolkit::ParseBool(value);
  } else if (name == "inset") {
    if (auto r = toolkit::ParseRectValue(value)) inset_ = *r;
  } else if (name == "multiline" || name == "wantreturn" || name == "rich") {
    // always multi-line
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

CRect CRichEditUI::TextArea() const {
  CRect r = rect_;
  int bar = vscroll_ ? bar_.Width() : 0;
  r.Deflate(inset_.left, inset_.top, inset_.right + bar, inset_.bottom);
  return r;
}

void CRichEditUI::DoPaint(toolkit::Renderer& renderer) {
  CControlUI::DoPaint(renderer);
  if (!manager_) return;
  CRect area = TextArea();
  if (area.IsEmpty()) return;
  // Windows line ends, as the programs write them, are single breaks here.
  std::string text;
  for (char c : text_.str()) {
    if (c != '\r') text.push_back(c);
  }
  const toolkit::FontSpec& font = manager_->GetFont(font_);
  contentHeight_ = renderer.TextHeight(text, font, area.GetWidth(), false);
  // Without a bar the text still scrolls by the wheel; the bar only shows where it is.
  bar_.SetExtent(contentHeight_, area.GetHeight());
  bar_.SetTrack(vscroll_ ? CRect(area.right, area.top, area.right + bar_.Width(), area.bottom) : CRect());
  if (pending_ >= 0) {
    bar_.SetPosition(pending_);
    pending_ = -1;
  }
  int scroll = bar_.Position();
  renderer.PushClip(area);
  CRect shifted(area.left, area.top - scroll, area.right, area.top - scroll + std::max(contentHeight_, area.GetHeight()));
  renderer.DrawText(shifted, text, font, CurrentTextColor(), toolkit::kTextWordBreak, false);
  renderer.PopClip();
  if (vscroll_) {
    bar_.Paint(renderer, [&](const CStdString& image, const CRect& r) { return DrawImage(renderer, image, &r); });
  }
}

void CRichEditUI::DoEvent(TEventUI& event) {
  auto bar = bar_.OnEvent(event.Type, event.ptMouse, event.wParam);
  if (bar.changed) Invalidate();
  if (!bar.consumed) CLabelUI::DoEvent(event);
}
