#include "toolkit/controls/label.h"

#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

using toolkit::kTextBottom;
using toolkit::kTextCenter;
using toolkit::kTextEndEllipsis;
using toolkit::kTextRight;
using toolkit::kTextSingleLine;
using toolkit::kTextVCenter;
using toolkit::kTextWordBreak;

void* CLabelUI::GetInterface(std::string_view name) {
  return name == "Label" ? this : CControlUI::GetInterface(name);
}

void CLabelUI::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void CLabelUI::SetTextColor(uint32_t argb) {
  textColor_ = argb;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool on) {
  showHtml_ = on;
  Invalidate();
}

void CLabelUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "font") {
    SetFont(toolkit::ParseIntValue(value, -1));
  } else if (name == "textcolor") {
    if (auto c = toolkit::ParseColor(value)) SetTextColor(*c);
  } else if (name == "disabledtextcolor") {
    if (auto c = toolkit::ParseColor(value)) disabledTextColor_ = *c;
  } else if (name == "textpadding") {
    if (auto r = toolkit::ParseRectValue(value)) textPadding_ = *r;
  } else if (name == "align") {
    textStyle_ &= ~(kTextCenter | kTextRight);
    if (value.find("center") != std::string_view::npos) textStyle_ |= kTextCenter;
    if (value.find("right") != std::string_view::npos) textStyle_ |= kTextRight;
    if (value.find("top") != std::string_view::npos) textStyle_ &= ~(kTextVCenter | kTextBottom);
    if (value.find("bottom") != std::string_view::npos) textStyle_ = (textStyle_ & ~kTextVCenter) | kTextBottom;
    if (value.find("vcenter") != std::string_view::npos) textStyle_ = (textStyle_ & ~kTextBottom) | kTextVCenter;
  } else if (name == "valign") {
    textStyle_ &= ~(kTextVCenter | kTextBottom);
    if (value == "center" || value == "vcenter") textStyle_ |= kTextVCenter;
    if (value == "bottom") textStyle_ |= kTextBottom;
  } else if (name == "endellipsis") {
    textStyle_ = toolkit::ParseBool(value) ? (textStyle_ | kTextEndEllipsis) : (textStyle_ & ~kTextEndEllipsis);
  } else if (name == "multiline" || name == "wordbreak") {
    textStyle_ = toolkit::ParseBool(value) ? ((textStyle_ & ~kTextSingleLine) | kTextWordBreak)
                                           : ((textStyle_ | kTextSingleLine) & ~kTextWordBreak);
  } else if (name == "showhtml") {
    showHtml_ = toolkit::ParseBool(value);
  } else {
    CControlUI::SetAttribute(name, value);
    return;
  }
  Invalidate();  // a skin attribute set while the window stands shows at once
}

uint32_t CLabelUI::CurrentTextColor() const { return AdjustColor(IsEnabled() ? textColor_ : disabledTextColor_); }

void CLabelUI::PaintText(toolkit::Renderer& renderer, uint32_t color) {
  CStdString text = DisplayText();
  if (text.IsEmpty() || !manager_) return;
  CRect r = rect_;
  r.Deflate(textPadding_.left, textPadding_.top, textPadding_.right, textPadding_.bottom);
  renderer.DrawText(r, text.str(), manager_->GetFont(font_), color, textStyle_, showHtml_);
}

void CLabelUI::DoPaint(toolkit::Renderer& renderer) {
  CControlUI::DoPaint(renderer);
  PaintText(renderer, CurrentTextColor());
}

CTextUI::CTextUI() { textStyle_ = kTextWordBreak; }

void* CTextUI::GetInterface(std::string_view name) { return name == "Text" ? this : CLabelUI::GetInterface(name); }
