#include "toolkit/controls/scroll_bar.h"

#include <algorithm>

#include "toolkit/controls/control.h"
#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"

namespace toolkit {
namespace {
constexpr int kMinThumb = 12;
constexpr uint32_t kTrackColor = 0xFFE6E6E6u;
constexpr uint32_t kThumbColor = 0xFFB0B0B0u;
constexpr uint32_t kDraggedThumbColor = 0xFF909090u;
}  // namespace

const CStdString& VerticalScrollBar::PartImages::For(bool isHot, bool isPushed) const {
  if (isPushed && !pushed.IsEmpty()) return pushed;
  if ((isHot || isPushed) && !hot.IsEmpty()) return hot;
  return normal;
}

bool VerticalScrollBar::SetAttribute(std::string_view name, std::string_view value) {
  struct Slot {
    std::string_view name;
    CStdString* image;
  };
  const Slot slots[] = {{"bknormalimage", &background_},     {"thumbnormalimage", &thumb_.normal},
                        {"thumbhotimage", &thumb_.hot},      {"thumbpushedimage", &thumb_.pushed},
                        {"button1normalimage", &up_.normal}, {"button1hotimage", &up_.hot},
                        {"button1pushedimage", &up_.pushed}, {"button2normalimage", &down_.normal},
                        {"button2hotimage", &down_.hot},     {"button2pushedimage", &down_.pushed}};
  for (const Slot& slot : slots) {
    if (name == slot.name) {
      *slot.image = CStdString(value);
      return true;
    }
  }
  if (name == "width") {
    width_ = std::clamp(ParseIntValue(value, kWidth), 1, kMaxWidth);
  } else if (name == "showbutton1") {
    showUp_ = ParseBool(value);
  } else if (name == "showbutton2") {
    showDown_ = ParseBool(value);
  } else {
    return false;
  }
  return true;
}

void VerticalScrollBar::ApplyDefaults(const CPaintManagerUI* manager) {
  // Only the look starts over: where the bar stands and what it shows stay.
  width_ = kWidth;
  background_ = CStdString();
  thumb_ = up_ = down_ = PartImages{};
  showUp_.reset();
  showDown_.reset();
  const CStdString* defaults = manager ? manager->GetDefaultAttributeList(kDefaultsName) : nullptr;
  if (!defaults) return;
  ForEachAttribute(defaults->str(),
                   [this](std::string_view name, std::string_view value) { SetAttribute(name, value); });
}

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

CRect VerticalScrollBar::UpButton() const {
  if (!ShowsUp()) return CRect();
  // Square arrows, squeezed when the bar is shorter than both.
  int h = std::min(track_.GetWidth(), track_.GetHeight() / 2);
  return CRect(track_.left, track_.top, track_.right, track_.top + std::max(0, h));
}

CRect VerticalScrollBar::DownButton() const {
  if (!ShowsDown()) return CRect();
  int h = std::min(track_.GetWidth(), track_.GetHeight() / 2);
  return CRect(track_.left, track_.bottom - std::max(0, h), track_.right, track_.bottom);
}

CRect VerticalScrollBar::Rail() const {
  CRect rail = track_;
  if (ShowsUp()) rail.top = UpButton().bottom;
  if (ShowsDown()) rail.bottom = DownButton().top;
  return rail;
}

CRect VerticalScrollBar::Thumb() const {
  CRect rail = Rail();
  int railH = rail.GetHeight();
  if (!Needed() || railH <= 0) return CRect();
  int thumbH =
      std::clamp(static_cast<int>(static_cast<long long>(railH) * view_ / content_), std::min(kMinThumb, railH), railH);
  int top = rail.top + static_cast<int>(static_cast<long long>(railH - thumbH) * pos_ / std::max(1, Range()));
  return CRect(rail.left, top, rail.right, top + thumbH);
}

VerticalScrollBar::Part VerticalScrollBar::PartAt(POINT pt) const {
  if (!Needed() || !track_.Contains(pt.x, pt.y)) return Part::kNone;
  if (UpButton().Contains(pt.x, pt.y)) return Part::kUpButton;
  if (DownButton().Contains(pt.x, pt.y)) return Part::kDownButton;
  if (Thumb().Contains(pt.x, pt.y)) return Part::kThumb;
  return Part::kTrack;
}

bool VerticalScrollBar::Press(POINT pt) {
  pressed_ = PartAt(pt);
  switch (pressed_) {
    case Part::kThumb:
      dragging_ = true;
      dragOffset_ = pt.y - Thumb().top;
      return false;
    case Part::kUpButton:
      return SetPosition(pos_ - kWheelStep);
    case Part::kDownButton:
      return SetPosition(pos_ + kWheelStep);
    case Part::kTrack:
      return SetPosition(pos_ + (pt.y < Thumb().top ? -view_ : view_));
    case Part::kNone:
      break;
  }
  return false;
}

bool VerticalScrollBar::Drag(POINT pt) {
  if (!dragging_) return false;
  CRect thumb = Thumb();
  CRect rail = Rail();
  int travel = rail.GetHeight() - thumb.GetHeight();
  if (travel <= 0) return false;
  int top = std::clamp(pt.y - dragOffset_ - rail.top, 0, travel);
  return SetPosition(static_cast<int>((static_cast<long long>(top) * Range() + travel / 2) / travel));
}

void VerticalScrollBar::Release() {
  dragging_ = false;
  pressed_ = Part::kNone;
}

bool VerticalScrollBar::SetHot(Part part) {
  if (part == hot_) return false;
  hot_ = part;
  return true;
}

VerticalScrollBar::Response VerticalScrollBar::OnEvent(int type, POINT pt, WPARAM wParam) {
  Response r;
  switch (type) {
    case UIEVENT_SCROLLWHEEL:
      r.consumed = Needed();
      r.changed = r.consumed && Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      r.changed = Press(pt) || pressed_ != Part::kNone;
      break;
    case UIEVENT_MOUSEMOVE: {
      bool moved = Drag(pt);
      r.changed = SetHot(PartAt(pt)) || moved;
      break;
    }
    case UIEVENT_MOUSELEAVE:
      r.changed = SetHot(Part::kNone);
      break;
    case UIEVENT_BUTTONUP:
      r.changed = pressed_ != Part::kNone;
      Release();
      break;
    default:
      break;
  }
  return r;
}

void VerticalScrollBar::Paint(Renderer& renderer, const ImageDrawer& drawImage) const {
  if (!Needed()) return;
  if (background_.IsEmpty() || !drawImage(background_, track_)) renderer.FillRect(track_, kTrackColor);
  auto drawPart = [&](Part part, const PartImages& images, const CRect& rect) {
    if (rect.IsEmpty()) return false;
    const CStdString& image = images.For(hot_ == part, pressed_ == part);
    return !image.IsEmpty() && drawImage(image, rect);
  };
  drawPart(Part::kUpButton, up_, UpButton());
  drawPart(Part::kDownButton, down_, DownButton());
  CRect thumb = Thumb();
  if (!drawPart(Part::kThumb, thumb_, thumb)) renderer.FillRect(thumb, dragging_ ? kDraggedThumbColor : kThumbColor);
}

}  // namespace toolkit
