#include "toolkit/controls/scroll_bar.h"

#include <algorithm>

#include "toolkit/render/renderer.h"

namespace toolkit {
namespace {
constexpr int kMinThumb = 12;
constexpr uint32_t kTrackColor = 0xFFE6E6E6u;
constexpr uint32_t kThumbColor = 0xFFB0B0B0u;
constexpr uint32_t kDraggedThumbColor = 0xFF909090u;
}  // namespace

void VerticalScrollBar::SetExtent(int content, int view) {
  content_ = std::max(0, content);
  view_ = std::max(0, view);
  pos_ = std::clamp(pos_, 0, Range());
}

bool VerticalScrollBar::SetPosition(int pixels) {
  int next = std::clamp(pixels, 0, Range());
  if (next == pos_) return false;
  pos_ = next;
  return true;
}

bool VerticalScrollBar::Wheel(int delta) {
  // Smooth-scrolling devices send fractions of a notch; round away from zero so they still move.
  int step = delta * kWheelStep / 120;
  if (step == 0 && delta != 0) step = delta > 0 ? 1 : -1;
  return SetPosition(pos_ - step);
}

CRect VerticalScrollBar::Thumb() const {
  int trackH = track_.GetHeight();
  if (!Needed() || trackH <= 0) return CRect();
  int thumbH = std::clamp(static_cast<int>(static_cast<long long>(trackH) * view_ / content_), std::min(kMinThumb, trackH),
                          trackH);
  int top = track_.top + static_cast<int>(static_cast<long long>(trackH - thumbH) * pos_ / std::max(1, Range()));
  return CRect(track_.left, top, track_.right, top + thumbH);
}

bool VerticalScrollBar::Press(POINT pt) {
  if (!Needed() || !track_.Contains(pt.x, pt.y)) return false;
  CRect thumb = Thumb();
  if (thumb.Contains(pt.x, pt.y)) {
    dragging_ = true;
    dragOffset_ = pt.y - thumb.top;
    return false;
  }
  return SetPosition(pos_ + (pt.y < thumb.top ? -view_ : view_));
}

bool VerticalScrollBar::Drag(POINT pt) {
  if (!dragging_) return false;
  CRect thumb = Thumb();
  int travel = track_.GetHeight() - thumb.GetHeight();
  if (travel <= 0) return false;
  int top = std::clamp(pt.y - dragOffset_ - track_.top, 0, travel);
  return SetPosition(static_cast<int>((static_cast<long long>(top) * Range() + travel / 2) / travel));
}

void VerticalScrollBar::Paint(Renderer& renderer) const {
  if (!Needed()) return;
  renderer.FillRect(track_, kTrackColor);
  renderer.FillRect(Thumb(), dragging_ ? kDraggedThumbColor : kThumbColor);
}

}  // namespace toolkit
