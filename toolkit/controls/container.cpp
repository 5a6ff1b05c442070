#include "toolkit/controls/container.h"

#include <algorithm>

#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

CContainerUI::~CContainerUI() {
  for (CControlUI* c : items_) delete c;
}

void* CContainerUI::GetInterface(std::string_view name) {
  return name == "Container" ? this : CControlUI::GetInterface(name);
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > GetCount()) return false;
  items_.insert(items_.begin() + index, control);
  control->SetManager(manager_, this);
  if (hslEnabled_) control->SetColorHSL(true, hsl_.hue, hsl_.saturation, hsl_.lightness);  // joins the tint
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) {
  auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return false;
  items_.erase(it);
  delete control;
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> old;
  old.swap(items_);
  for (CControlUI* c : old) delete c;
  NeedUpdate();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void CContainerUI::SetInset(const RECT& inset) {
  inset_ = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "inset") {
    if (auto r = toolkit::ParseRectValue(value)) SetInset(*r);
  } else if (name == "childpadding") {
    SetChildPadding(toolkit::ParseIntValue(value));
  } else if (name == "vscrollbar") {
    EnableScrollBar(toolkit::ParseBool(value));
  } else if (name == "hscrollbar") {
    // content never scrolls sideways: the skins size their rows to fit
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  bar_.ApplyDefaults(manager);
  for (CControlUI* c : items_) c->SetManager(manager, this);
}

CRect CContainerUI::InnerRect(const CRect& rect) const {
  CRect r = rect;
  r.Deflate(inset_.left, inset_.top, inset_.right, inset_.bottom);
  return r;
}

void CContainerUI::LayoutFloat(CControlUI* child, const CRect& rect) const {
  const CRect& pos = child->GetFloatPos();
  int w = child->GetFixedWidth() ? child->GetFixedWidth() : pos.GetWidth();
  int h = child->GetFixedHeight() ? child->GetFixedHeight() : pos.GetHeight();
  int x = rect.left + pos.left;
  int y = rect.top + pos.top;
  child->Layout(CRect(x, y, x + std::max(0, w), y + std::max(0, h)));
}

void CContainerUI::EnableScrollBar(bool vertical) {
  vscroll_ = vertical;
  if (!vertical) bar_.SetExtent(0, 0);
  NeedUpdate();
}

void CContainerUI::SetScrollPos(int pixels) {
  if (bar_.SetPosition(pixels)) NeedUpdate();
}

void CContainerUI::SetColorHSL(bool enable, short h, short s, short l) {
  CControlUI::SetColorHSL(enable, h, s, l);
  for (CControlUI* c : items_) c->SetColorHSL(enable, h, s, l);
}

void CContainerUI::LayoutItems(const CRect& inner) {
  for (CControlUI* c : items_) {
    if (!c->IsVisible() || c->IsFloat()) continue;
    const CRect& pad = c->GetPadding();
    CRect r(inner.left + pad.left, inner.top + pad.top, inner.right - pad.right, inner.bottom - pad.bottom);
    if (c->GetFixedWidth()) r.right = r.left + c->GetFixedWidth();
    if (c->GetFixedHeight()) r.bottom = r.top + c->GetFixedHeight();
    c->Layout(r);
  }
}

int CContainerUI::ContentExtent(int top) const {
  int bottom = top;
  for (CControlUI* c : items_) {
    if (c->IsVisible() && !c->IsFloat()) bottom = std::max(bottom, c->GetPos().bottom + c->GetPadding().bottom);
  }
  return bottom - top;
}

void CContainerUI::Layout(const CRect& rect) {
  rect_ = rect;
  CRect inner = InnerRect(rect);
  view_ = inner;
  LayoutItems(inner);
  if (vscroll_) {
    // Measured at the view's height, so stretched children keep the share they have without a bar;
    // the second pass only narrows the content for the bar and moves it up.
    bar_.SetExtent(ContentExtent(inner.top), inner.GetHeight());
    if (bar_.Needed()) {
      view_.right = std::max(view_.left, view_.right - bar_.Width());
      bar_.SetTrack(CRect(view_.right, inner.top, inner.right, inner.bottom));
      int shift = bar_.Position();
      LayoutItems(CRect(view_.left, inner.top - shift, view_.right, inner.bottom - shift));
    }
  }
  for (CControlUI* c : items_) {
    if (c->IsVisible() && c->IsFloat()) LayoutFloat(c, rect);
  }
}

void CContainerUI::DoPaint(toolkit::Renderer& renderer) {
  CControlUI::DoPaint(renderer);
  bool scrolled = bar_.Needed();
  const CRect& clip = scrolled ? view_ : rect_;
  renderer.PushClip(clip);
  for (CControlUI* c : items_) {
    if (c->IsVisible() && !c->GetPos().Intersect(clip).IsEmpty()) c->DoPaint(renderer);
  }
  renderer.PopClip();
  if (scrolled) {
    bar_.Paint(renderer, [&](const CStdString& image, const CRect& r) { return DrawImage(renderer, image, &r); });
  }
}

void CContainerUI::DoEvent(TEventUI& event) {
  auto bar = bar_.OnEvent(event.Type, event.ptMouse, event.wParam);
  if (bar.changed) NeedUpdate();  // the children move with the bar
  if (!bar.consumed) CControlUI::DoEvent(event);
}

CControlUI* CContainerUI::FindControlAt(POINT point) {
  if (!visible_ || !rect_.Contains(point.x, point.y)) return nullptr;
  if (bar_.Needed()) {
    // The bar belongs to the container, and children scrolled out of the view cannot be hit.
    if (bar_.Track().Contains(point.x, point.y)) return this;
    if (!view_.Contains(point.x, point.y)) return mouseEnabled_ ? this : nullptr;
  }
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {  // the last painted is on top
    if (CControlUI* hit = (*it)->FindControlAt(point)) return hit;
  }
  return mouseEnabled_ ? this : nullptr;
}

CControlUI* CContainerUI::FindSubControl(std::string_view name) {
  if (name_.str() == name) return this;
  for (CControlUI* c : items_) {
    if (CControlUI* hit = c->FindSubControl(name)) return hit;
  }
  return nullptr;
}

void CContainerUI::ForEach(const std::function<void(CControlUI*)>& visit) {
  visit(this);
  for (CControlUI* c : items_) c->ForEach(visit);
}

// Linear layouts: fixed children keep their length, the others share what is left.
namespace {

struct Slot {
  CControlUI* control;
  int length;
};

template <bool Vertical>
void LinearLayout(const std::vector<CControlUI*>& items, const CRect& inner, int childPadding) {
  auto fixedOf = [](CControlUI* c) { return Vertical ? c->GetFixedHeight() : c->GetFixedWidth(); };
  auto minOf = [](CControlUI* c) { return Vertical ? c->GetMinHeight() : c->GetMinWidth(); };
  auto maxOf = [](CControlUI* c) { return Vertical ? c->GetMaxHeight() : c->GetMaxWidth(); };
  auto padBefore = [](CControlUI* c) { return Vertical ? c->GetPadding().top : c->GetPadding().left; };
  auto padAfter = [](CControlUI* c) { return Vertical ? c->GetPadding().bottom : c->GetPadding().right; };
  std::vector<Slot> slots;
  int fixedTotal = 0;
  for (CControlUI* c : items) {
    if (!c->IsVisible() || c->IsFloat()) continue;
    if (!slots.empty()) fixedTotal += childPadding;
    fixedTotal += padBefore(c) + padAfter(c) + fixedOf(c);
    slots.push_back({c, fixedOf(c)});
  }
  int available = (Vertical ? inner.GetHeight() : inner.GetWidth()) - fixedTotal;
  // A stretched child held by its minimum or maximum takes that length and the others share what
  // is left again, wherever it stands in the row, so the row is neither left short nor overdrawn.
  std::vector<Slot*> open;
  for (Slot& s : slots) {
    if (!fixedOf(s.control)) open.push_back(&s);
  }
  auto limits = [&](const Slot* s) {
    int lo = minOf(s->control);
    return std::pair<int, int>(lo, std::max(lo, maxOf(s->control)));
  };
  int remaining = std::max(0, available);
  for (bool held = true; held && !open.empty();) {
    // Of the children an even share would break, hold those on the side that outweighs: when the
    // minimums ask for more than the maximums give back, the minimums first, else the maximums.
    int share = remaining / static_cast<int>(open.size());
    int balance = 0;
    for (const Slot* s : open) {
      auto [lo, hi] = limits(s);
      balance += std::clamp(share, lo, hi) - share;
    }
    held = false;
    for (auto it = open.begin(); it != open.end();) {
      auto [lo, hi] = limits(*it);
      int length = std::clamp(share, lo, hi);
      bool hold = length != share && (balance == 0 || (balance > 0) == (length > share));
      if (!hold) {
        ++it;
        continue;
      }
      (*it)->length = length;
      remaining = std::max(0, remaining - length);
      it = open.erase(it);
      held = true;
    }
  }
  // Equal parts of the rest; the pixels that do not divide go to the last.
  for (size_t i = 0; i < open.size(); ++i) {
    auto left = static_cast<int>(open.size() - i);
    int share = left > 1 ? remaining / left : remaining;
    auto [lo, hi] = limits(open[i]);
    open[i]->length = std::clamp(share, lo, hi);
    remaining = std::max(0, remaining - open[i]->length);
  }
  int cursor = Vertical ? inner.top : inner.left;
  bool first = true;
  for (Slot& s : slots) {
    CControlUI* c = s.control;
    if (!first) cursor += childPadding;
    first = false;
    cursor += padBefore(c);
    const CRect& pad = c->GetPadding();
    CRect r;
    if (Vertical) {
      int w = inner.GetWidth() - pad.left - pad.right;
      if (c->GetFixedWidth()) w = std::min(c->GetFixedWidth(), std::max(0, w));
      r = CRect(inner.left + pad.left, cursor, inner.left + pad.left + w, cursor + s.length);
    } else {
      int h = inner.GetHeight() - pad.top - pad.bottom;
      if (c->GetFixedHeight()) h = std::min(c->GetFixedHeight(), std::max(0, h));
      r = CRect(cursor, inner.top + pad.top, cursor + s.length, inner.top + pad.top + h);
    }
    c->Layout(r);
    cursor += s.length + padAfter(c);
  }
}

}  // namespace

void* CVerticalLayoutUI::GetInterface(std::string_view name) {
  return name == "VerticalLayout" ? this : CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::LayoutItems(const CRect& inner) { LinearLayout<true>(items_, inner, childPadding_); }

void* CHorizontalLayoutUI::GetInterface(std::string_view name) {
  return name == "HorizontalLayout" ? this : CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::LayoutItems(const CRect& inner) { LinearLayout<false>(items_, inner, childPadding_); }

// Tab layout -----------------------------------------------------------------------------------------

void* CTabLayoutUI::GetInterface(std::string_view name) {
  return name == "TabLayout" ? this : CContainerUI::GetInterface(name);
}

void CTabLayoutUI::ShowOnly(int index) {
  for (int i = 0; i < GetCount(); ++i) items_[static_cast<size_t>(i)]->SetVisible(i == index);
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  current_ = index;
  ShowOnly(index);
  NeedUpdate();
  if (manager_) manager_->SendNotify(this, "tabselect", static_cast<WPARAM>(index));
  return true;
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (current_ < 0) {
    if (GetCount() > initial_) current_ = initial_;
  } else if (index <= current_) {
    ++current_;  // the page shown stays shown
  }
  ShowOnly(current_);
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (!CContainerUI::Remove(control)) return false;
  if (index < current_) --current_;
  if (current_ >= GetCount()) current_ = GetCount() - 1;
  ShowOnly(current_);
  return true;
}

void CTabLayoutUI::RemoveAll() {
  CContainerUI::RemoveAll();
  current_ = -1;
  initial_ = 0;  // the skin's first page counts only for the pages the skin built
}

void CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "selectedid") {
    initial_ = std::max(0, toolkit::ParseIntValue(value));
    if (initial_ < GetCount()) {
      current_ = initial_;
      ShowOnly(current_);
    }
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}
