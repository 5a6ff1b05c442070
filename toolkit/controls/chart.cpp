#include "toolkit/controls/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

#include "toolkit/paint_manager.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/image_spec.h"

namespace {

constexpr double kPi = std::numbers::pi;

std::string Number(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 3), value);
  // Written by hand: the desktop's locale must not turn the point into a comma.
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  return text;
}

// A horizontal rule at y (already on a half pixel) from x0 to x1; solid when dash is empty.
void HorizontalRule(toolkit::Renderer& renderer, double x0, double x1, double y, uint32_t argb, double width,
                    std::vector<double> dash = {}) {
  renderer.StrokePath(toolkit::Path().MoveTo(x0, y).LineTo(x1, y), argb, {width, std::move(dash), false});
}

uint32_t Color(std::string_view value, uint32_t fallback) { return toolkit::ParseColor(value).value_or(fallback); }

}  // namespace

namespace toolkit {

CChartUI::Axis RoundAxis(double min, double max, int maxSteps, double minSpan) {
  if (!(max >= min) || !std::isfinite(min) || !std::isfinite(max)) return {};
  maxSteps = std::max(maxSteps, 1);
  double span = std::max(max - min, minSpan);
  double mid = (min + max) / 2;
  min = std::min(min, mid - span / 2);
  max = std::max(max, mid + span / 2);
  double raw = span / maxSteps;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power * 10;
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * power >= raw) {
      step = f * power;
      break;
    }
  }
  double low = std::floor(min / step) * step;
  double high = std::ceil(max / step) * step;
  if (high - low < step) high = low + step;
  // Rounding out may need one step more than asked: take the next step up instead.
  if ((high - low) / step > maxSteps + 0.5) return RoundAxis(low, high, maxSteps, step * (maxSteps + 1));
  return {low, high, step};
}

}  // namespace toolkit

void* CChartUI::GetInterface(std::string_view name) { return name == "Chart" ? this : CControlUI::GetInterface(name); }

void CChartUI::SetDays(int first, int last) {
  first_ = first;
  last_ = std::max(first, last);
  Invalidate();
}

void CChartUI::SetLine(std::vector<Point> points) {
  std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.day < b.day; });
  line_ = std::move(points);
  Invalidate();
}

void CChartUI::SetReference(std::optional<double> value, const CStdString& label) {
  reference_ = value;
  referenceLabel_ = label;
  Invalidate();
}

void CChartUI::SetBars(std::vector<Bar> bars) {
  bars_ = std::move(bars);
  Invalidate();
}

void CChartUI::SetTicks(std::vector<Tick> ticks) {
  ticks_ = std::move(ticks);
  Invalidate();
}

void CChartUI::SetTitles(const CStdString& line, const CStdString& bars) {
  lineTitle_ = line;
  barTitle_ = bars;
  Invalidate();
}

void CChartUI::SetEmptyText(const CStdString& text) {
  emptyText_ = text;
  Invalidate();
}

CRect CChartUI::BarBand() const {
  const CRect& r = GetPos();
  if (barHeight_ <= 0) return CRect(r.left, r.bottom, r.left, r.bottom);
  int bottom = r.bottom - kTickRow;
  return CRect(r.left + kAxisGutter, bottom - barHeight_, r.right - kRightGutter, bottom);
}

CRect CChartUI::LinePlot() const {
  const CRect& r = GetPos();
  int bottom = barHeight_ > 0 ? BarBand().top - kBandGap : r.bottom - kTickRow;
  return CRect(r.left + kAxisGutter, r.top + kTitleRow, r.right - kRightGutter, std::max(bottom, r.top + kTitleRow + 1));
}

CChartUI::Axis CChartUI::ValueAxis() const {
  if (line_.empty()) {
    double v = reference_.value_or(0);
    return toolkit::RoundAxis(v, v, 4, 4);
  }
  double lo = line_.front().value, hi = lo;
  for (const Point& p : line_) {
    lo = std::min(lo, p.value);
    hi = std::max(hi, p.value);
  }
  // The reference joins the axis only when it is near the values: a far goal would flatten them.
  if (reference_ && *reference_ > lo - (hi - lo + 2) && *reference_ < hi + (hi - lo + 2)) {
    lo = std::min(lo, *reference_);
    hi = std::max(hi, *reference_);
  }
  return toolkit::RoundAxis(lo, hi, 4, 2);
}

double CChartUI::SlotWidth() const { return static_cast<double>(LinePlot().GetWidth()) / (last_ - first_ + 1); }

double CChartUI::DayX(int day) const { return LinePlot().left + (day - first_ + 0.5) * SlotWidth(); }

double CChartUI::ValueY(double value) const {
  CRect plot = LinePlot();
  Axis axis = ValueAxis();
  double share = (value - axis.low) / (axis.high - axis.low);
  return plot.bottom - share * plot.GetHeight();
}

void CChartUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "font") font_ = toolkit::ParseIntValue(value, -1);
  else if (name == "barheight") barHeight_ = std::clamp(toolkit::ParseIntValue(value, 80), 0, 400);
  else if (name == "decimals") decimals_ = std::clamp(toolkit::ParseIntValue(value, 1), 0, 3);
  else if (name == "emptytext") emptyText_ = CStdString(value);
  else if (name == "baremptytext") barEmptyText_ = CStdString(value);
  else if (name == "marktext") markText_ = CStdString(value);
  else if (name == "linecolor") lineColor_ = Color(value, lineColor_);
  else if (name == "markcolor") markColor_ = Color(value, markColor_);
  else if (name == "refcolor") referenceColor_ = Color(value, referenceColor_);
  else if (name == "barcolor") barColor_ = Color(value, barColor_);
  else if (name == "gridcolor") gridColor_ = Color(value, gridColor_);
  else if (name == "axiscolor") axisColor_ = Color(value, axisColor_);
  else if (name == "textcolor") textColor_ = Color(value, textColor_);
  else if (name == "titlecolor") titleColor_ = Color(value, titleColor_);
  else CControlUI::SetAttribute(name, value);
}

void CChartUI::DoPaint(toolkit::Renderer& renderer) {
  CControlUI::DoPaint(renderer);
  if (first_ > last_ || LinePlot().GetWidth() <= 0) return;
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  renderer.PushClip(GetPos());
  Axis axis = ValueAxis();
  PaintGrid(renderer, axis);
  CRect plot = LinePlot();
  renderer.DrawText(CRect(plot.left, GetPos().top, plot.right, plot.top - 10), lineTitle_.str(), font, titleColor_,
                    toolkit::kTextLeft | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
  if (IsEmpty()) {
    renderer.DrawText(plot, emptyText_.str(), font, titleColor_,
                      toolkit::kTextCenter | toolkit::kTextVCenter | toolkit::kTextWordBreak, false);
  } else {
    PaintReference(renderer);
    PaintLine(renderer);
    PaintLegend(renderer);
  }
  PaintBars(renderer);
  PaintTicks(renderer);
  renderer.PopClip();
}

void CChartUI::PaintGrid(toolkit::Renderer& renderer, const Axis& axis) const {
  CRect plot = LinePlot();
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  int decimals = axis.step >= 1 ? 0 : decimals_;
  int steps = static_cast<int>(std::lround((axis.high - axis.low) / axis.step));
  for (int i = 0; i <= steps; ++i) {
    double v = axis.low + i * axis.step;
    double y = std::round(ValueY(v)) + 0.5;
    uint32_t color = i == 0 ? axisColor_ : gridColor_;
    if (IsEmpty() && i > 0) {
      HorizontalRule(renderer, plot.left, plot.right, y, color, 1, {3, 3});
    } else {
      HorizontalRule(renderer, plot.left, plot.right, y, color, 1);
    }
    if (!IsEmpty() || !line_.empty()) {
      int iy = static_cast<int>(y);
      renderer.DrawText(CRect(GetPos().left, iy - 8, plot.left - 8, iy + 8), Number(v, decimals), font, textColor_,
                        toolkit::kTextRight | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
    }
  }
}

void CChartUI::PaintReference(toolkit::Renderer& renderer) const {
  Axis axis = ValueAxis();
  if (!reference_ || *reference_ < axis.low || *reference_ > axis.high) return;
  CRect plot = LinePlot();
  double y = std::round(ValueY(*reference_)) + 0.5;
  HorizontalRule(renderer, plot.left, plot.right, y, referenceColor_, 1, {6, 4});
}

void CChartUI::PaintLegend(toolkit::Renderer& renderer) const {
  // Right-aligned in the title row: the reference's dash and text, then the mark's dot and text.
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  CRect plot = LinePlot();
  int top = GetPos().top, bottom = plot.top - 10;
  double mid = (top + bottom) / 2.0;
  int right = plot.right;
  bool marks = std::any_of(line_.begin(), line_.end(), [](const Point& p) { return p.marked; });
  if (marks && !markText_.IsEmpty()) {
    int width = renderer.TextWidth(markText_.str(), font);
    renderer.DrawText(CRect(right - width, top, right, bottom), markText_.str(), font, titleColor_,
                      toolkit::kTextRight | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
    right -= width + 6;
    renderer.FillPath(toolkit::Path().Arc(right - 4, mid, 4, 0, 2 * kPi), markColor_);
    right -= 22;
  }
  if (reference_ && !referenceLabel_.IsEmpty()) {
    int width = renderer.TextWidth(referenceLabel_.str(), font);
    renderer.DrawText(CRect(right - width, top, right, bottom), referenceLabel_.str(), font, titleColor_,
                      toolkit::kTextRight | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
    right -= width + 6;
    HorizontalRule(renderer, right - 18, right, std::round(mid) + 0.5, referenceColor_, 1.5, {4, 3});
  }
}

void CChartUI::PaintLine(toolkit::Renderer& renderer) const {
  if (line_.empty()) return;
  CRect plot = LinePlot();
  if (line_.size() > 1) {
    // A light wash under the line, then the line.
    toolkit::Path wash;
    wash.MoveTo(DayX(line_.front().day), plot.bottom);
    for (const Point& p : line_) wash.LineTo(DayX(p.day), ValueY(p.value));
    wash.LineTo(DayX(line_.back().day), plot.bottom).Close();
    renderer.FillPath(wash, lineColor_, 0.10);
    toolkit::Path line;
    line.MoveTo(DayX(line_.front().day), ValueY(line_.front().value));
    for (size_t i = 1; i < line_.size(); ++i) line.LineTo(DayX(line_[i].day), ValueY(line_[i].value));
    renderer.StrokePath(line, lineColor_, {2, {}, true});
  }
  // Dots where they have room; marked ones always.
  bool dots = SlotWidth() >= 5 || line_.size() == 1;
  for (const Point& p : line_) {
    if (!dots && !p.marked) continue;
    double x = DayX(p.day), y = ValueY(p.value);
    toolkit::Path dot;
    dot.Arc(x, y, p.marked ? 4.5 : 3.5, 0, 2 * kPi);
    renderer.FillPath(dot, p.marked ? markColor_ : 0xFFFFFFFFu);
    renderer.StrokePath(dot, p.marked ? 0xFFFFFFFFu : lineColor_, {p.marked ? 1.5 : 2, {}, true});
  }
  // The newest value, written over its point.
  const Point& last = line_.back();
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  font.bold = true;
  int x = static_cast<int>(DayX(last.day)), y = static_cast<int>(ValueY(last.value));
  std::string text = Number(last.value, decimals_);
  int half = renderer.TextWidth(text, font) / 2 + 5;
  CRect label(x - half, y - 26, x + half, y - 8);
  if (label.right > GetPos().right) label.Offset(GetPos().right - label.right, 0);
  if (label.top < plot.top - 20) label.Offset(0, 34);
  // On a white tag, so that the line passing behind never runs through the digits.
  renderer.FillPath(toolkit::Path()
                        .MoveTo(label.left, label.top)
                        .LineTo(label.right, label.top)
                        .LineTo(label.right, label.bottom)
                        .LineTo(label.left, label.bottom)
                        .Close(),
                    0xFFFFFFFFu, 0.92);
  renderer.DrawText(label, text, font, last.marked ? markColor_ : lineColor_,
                    toolkit::kTextCenter | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
}

void CChartUI::PaintBars(toolkit::Renderer& renderer) const {
  CRect band = BarBand();
  if (band.IsEmpty()) return;
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  double peak = 0;
  for (const Bar& b : bars_) {
    if (b.day >= first_ && b.day <= last_) peak = std::max(peak, b.value);
  }
  std::string title = barTitle_.str();
  if (peak > 0) title += "  最高 " + Number(peak, 0);
  renderer.DrawText(CRect(band.left, band.top - kBandGap + 2, band.right, band.top - 4), title, font, titleColor_,
                    toolkit::kTextLeft | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
  HorizontalRule(renderer, band.left, band.right, band.bottom + 0.5, axisColor_, 1);
  if (peak <= 0) {
    renderer.DrawText(band, barEmptyText_.str(), font, textColor_,
                      toolkit::kTextCenter | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
    return;
  }
  double width = std::clamp(SlotWidth() * 0.6, 1.0, 14.0);
  for (const Bar& b : bars_) {
    if (b.day < first_ || b.day > last_ || b.value <= 0) continue;
    double h = std::max(1.0, b.value / peak * (band.GetHeight() - 4));
    double x = std::round(DayX(b.day) - width / 2);
    // Rounded at the top only.
    double r = std::min(2.0, width / 2);
    double top = band.bottom - h;
    renderer.FillPath(toolkit::Path()
                          .MoveTo(x, band.bottom)
                          .LineTo(x, top + r)
                          .Arc(x + r, top + r, r, kPi, 1.5 * kPi)
                          .Arc(x + width - r, top + r, r, 1.5 * kPi, 2 * kPi)
                          .LineTo(x + width, band.bottom)
                          .Close(),
                      barColor_);
  }
}

void CChartUI::PaintTicks(toolkit::Renderer& renderer) const {
  toolkit::FontSpec font = manager_ ? manager_->GetFont(font_) : toolkit::FontSpec{};
  const CRect& r = GetPos();
  for (const Tick& t : ticks_) {
    if (t.day < first_ || t.day > last_) continue;
    int x = static_cast<int>(DayX(t.day));
    CRect cell(x - 40, r.bottom - kTickRow + 2, x + 40, r.bottom);
    if (cell.left < r.left + kAxisGutter - 20) cell.Offset(r.left + kAxisGutter - 20 - cell.left, 0);
    if (cell.right > r.right) cell.Offset(r.right - cell.right, 0);
    renderer.DrawText(cell, t.text.str(), font, textColor_,
                      toolkit::kTextCenter | toolkit::kTextVCenter | toolkit::kTextSingleLine, false);
  }
}
