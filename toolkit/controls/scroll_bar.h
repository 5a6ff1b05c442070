#pragma once
// The vertical scroll bar of a scrolling area (a container taller than its view, a rich edit with
// more text than fits): which part of the content is shown, and how the wheel, the track, the
// thumb and the arrow buttons move it. Its look (width, track, thumb and button images) comes
// from the skin's "VScrollBar" defaults, so one included skin file styles every bar of a window;
// without images it is drawn in plain colours.

#include <functional>
#include <optional>
#include <string_view>

#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"

class CPaintManagerUI;

namespace toolkit {

class Renderer;

class VerticalScrollBar {
 public:
  // The name of the skin defaults every bar of a window takes its look from.
  static constexpr std::string_view kDefaultsName = "VScrollBar";
  static constexpr int kWidth = 8;
  static constexpr int kMaxWidth = 64;
  // Pixels one wheel notch (a delta of 120) or one press on an arrow button moves the content.
  static constexpr int kWheelStep = 40;

  // The part of the bar under a point.
  enum class Part { kNone, kUpButton, kDownButton, kTrack, kThumb };

  // Look attributes: width, bknormalimage (the whole bar), thumbnormalimage, thumbhotimage,
  // thumbpushedimage, button1normalimage .. button1pushedimage (the up arrow, at the top),
  // button2normalimage .. button2pushedimage (the down arrow), showbutton1, showbutton2 (an arrow
  // shows when its images are given, unless switched off). False for names that are not the bar's.
  bool SetAttribute(std::string_view name, std::string_view value);
  // The "VScrollBar" defaults of the manager's skin, when it has them.
  void ApplyDefaults(const CPaintManagerUI* manager);
  int Width() const { return width_; }

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

  // Mouse on the bar: a press on the thumb starts dragging it, on an arrow moves one step, above or
  // below the thumb moves a page. Each returns true when the position changed.
  bool Press(POINT pt);
  bool Drag(POINT pt);
  void Release();
  bool Dragging() const { return dragging_; }

  // What one mouse event of the control holding the bar (UIEVENT_*) did to the bar: whether it
  // moved or changed its look, and whether the event is used up (a wheel turned while there is
  // something to scroll, even at the end, so that the area around does not scroll instead).
  struct Response {
    bool changed = false;
    bool consumed = false;
  };
  Response OnEvent(int type, POINT pt, WPARAM wParam);

  CRect UpButton() const;
  CRect DownButton() const;
  CRect Thumb() const;
  Part PartAt(POINT pt) const;

  // Draws an image text of the attribute language over a rectangle; false when it drew nothing.
  using ImageDrawer = std::function<bool(const CStdString& image, const CRect& rect)>;
  void Paint(Renderer& renderer, const ImageDrawer& drawImage) const;

 private:
  // Normal, hot and pushed images of one part.
  struct PartImages {
    CStdString normal, hot, pushed;
    const CStdString& For(bool hot, bool pushed) const;
  };
  bool ShowsUp() const { return showUp_.value_or(!up_.normal.IsEmpty()); }
  bool ShowsDown() const { return showDown_.value_or(!down_.normal.IsEmpty()); }
  // The track between the arrow buttons, where the thumb travels.
  CRect Rail() const;
  bool SetHot(Part part);

  int content_ = 0;
  int view_ = 0;
  int pos_ = 0;
  CRect track_;
  bool dragging_ = false;
  int dragOffset_ = 0;  // pointer's distance from the thumb's top when the drag began
  Part pressed_ = Part::kNone;
  Part hot_ = Part::kNone;

  int width_ = kWidth;
  CStdString background_;
  PartImages thumb_, up_, down_;
  std::optional<bool> showUp_, showDown_;
};

}  // namespace toolkit
