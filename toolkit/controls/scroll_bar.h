#pragma once
// The vertical scroll bar of a scrolling area (a container taller than its view, a rich edit with
// more text than fits): which part of the content is shown, and how the wheel, the track and the
// thumb move it.

#include "toolkit/core/rect.h"
#include "toolkit/core/win_types.h"

namespace toolkit {

class Renderer;

class VerticalScrollBar {
 public:
  static constexpr int kWidth = 8;
  // Pixels one wheel notch (a delta of 120) moves the content.
  static constexpr int kWheelStep = 40;

  // content: full height of what scrolls; view: the height shown. The position stays in range.
  void SetExtent(int content, int view);
  // Where the bar is drawn and pressed, in client coordinates.
  void SetTrack(const CRect& track) { track_ = track; }
  const CRect& Track() const { return track_; }
  // Shown only while the content is taller than the view.
  bool Needed() const { return content_ > view_; }
  int Range() const { return content_ > view_ ? content_ - view_ : 0; }
  int Position() const { return pos_; }
  // Clamped to the range; true when the position changed.
  bool SetPosition(int pixels);
  // A wheel delta as WM_MOUSEWHEEL carries it (positive: away from the user, content moves down);
  // true when the position changed.
  bool Wheel(int delta);

  // Mouse on the track: a press on the thumb starts dragging it, above or below it moves a page.
  // Each returns true when the position changed.
  bool Press(POINT pt);
  bool Drag(POINT pt);
  void Release() { dragging_ = false; }
  bool Dragging() const { return dragging_; }

  CRect Thumb() const;
  void Paint(Renderer& renderer) const;

 private:
  int content_ = 0;
  int view_ = 0;
  int pos_ = 0;
  CRect track_;
  bool dragging_ = false;
  int dragOffset_ = 0;  // pointer's distance from the thumb's top when the drag began
};

}  // namespace toolkit
