#include "toolkit/controls/progress.h"

#include <algorithm>
#include <cstdio>

#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

void* CProgressUI::GetInterface(std::string_view name) {
  return name == "Progress" ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  Invalidate();
}
void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  Invalidate();
}
void CProgressUI::SetValue(int value) {
  value_ = value;
  Invalidate();
}
void CProgressUI::SetFgImage(const CStdString& image) {
  fgImage_ = image;
  Invalidate();
}

CRect CProgressUI::FilledRect() const {
  CRect r = GetPos();
  // A maximum at or below the minimum has no range; such a bar reads as empty, not as a division
  // by zero.
  if (max_ <= min_) return CRect(r.left, r.top, r.left, r.bottom);
  double share = std::clamp(static_cast<double>(value_ - min_) / (max_ - min_), 0.0, 1.0);
  if (horizontal_) {
    r.right = r.left + static_cast<int>(r.GetWidth() * share);
  } else {
    r.top = r.bottom - static_cast<int>(r.GetHeight() * share);
  }
  return r;
}

void CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "min") {
    SetMinValue(toolkit::ParseIntValue(value));
  } else if (name == "max") {
    SetMaxValue(toolkit::ParseIntValue(value, 100));
  } else if (name == "value") {
    SetValue(toolkit::ParseIntValue(value));
  } else if (name == "foreimage" || name == "fgimage") {
    SetFgImage(CStdString(value));
  } else if (name == "hor") {
    horizontal_ = toolkit::ParseBool(value);
  } else if (name == "isstretchfore") {
    stretchFore_ = toolkit::ParseBool(value);
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

void CProgressUI::DoPaint(toolkit::Renderer& renderer) {
  CControlUI::DoPaint(renderer);
  CRect filled = FilledRect();
  if (!fgImage_.IsEmpty() && !filled.IsEmpty()) {
    if (stretchFore_) {
      DrawImage(renderer, fgImage_, &filled);
    } else {
      // Unstretched: the image keeps its scale and only the filled part of it shows.
      renderer.PushClip(filled);
      DrawImage(renderer, fgImage_);
      renderer.PopClip();
    }
  }
  PaintText(renderer, CurrentTextColor());
}
