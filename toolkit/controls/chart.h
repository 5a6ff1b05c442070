#pragma once
// CChartUI: values over a run of days as a line with its points (some marked), an optional
// reference value as a dashed line, and a second quantity of the same days as bars in a band below.
// Days are plain day numbers (any epoch); the caller gives the range and the axis texts, so the
// control knows nothing of calendars or units. With nothing to show it draws its empty text over a
// faint grid.

#include <optional>
#include <vector>

#include "toolkit/controls/control.h"

class CChartUI : public CControlUI {
 public:
  struct Point {
    int day = 0;
    double value = 0;
    bool marked = false;  // drawn in the mark colour (a reading not yet sent, say)
  };
  struct Bar {
    int day = 0;
    double value = 0;
  };
  struct Tick {
    int day = 0;
    CStdString text;
  };
  // The value axis: from low to high in steps.
  struct Axis {
    double low = 0;
    double high = 1;
    double step = 1;
  };

  static constexpr int kAxisGutter = 44;  // left of the plots, for the value texts
  static constexpr int kRightGutter = 14;
  static constexpr int kTitleRow = 30;    // above the line plot, for its title and legend
  static constexpr int kTickRow = 20;     // below the bars, for the day texts
  static constexpr int kBandGap = 24;     // between the line plot and the bar band, for its title

  CStdString GetClass() const override { return "ChartUI"; }
  void* GetInterface(std::string_view name) override;

  // The days shown, first to last inclusive (last below first is taken as first).
  void SetDays(int first, int last);
  void SetLine(std::vector<Point> points);
  void SetReference(std::optional<double> value, const CStdString& label);
  void SetBars(std::vector<Bar> bars);
  void SetTicks(std::vector<Tick> ticks);
  // Texts above the line plot and the bar band (top left of each).
  void SetTitles(const CStdString& line, const CStdString& bars);
  void SetEmptyText(const CStdString& text);

  // Geometry as it stands (client coordinates), for the windows and the tests.
  CRect LinePlot() const;
  CRect BarBand() const;  // empty without a bar band
  Axis ValueAxis() const;
  // Centre x of a day's slot.
  double DayX(int day) const;
  double ValueY(double value) const;
  bool IsEmpty() const { return line_.empty() && bars_.empty(); }

  void SetAttribute(std::string_view name, std::string_view value) override;
  void DoPaint(toolkit::Renderer& renderer) override;

 private:
  void PaintGrid(toolkit::Renderer& renderer, const Axis& axis) const;
  void PaintLine(toolkit::Renderer& renderer) const;
  void PaintReference(toolkit::Renderer& renderer) const;
  void PaintLegend(toolkit::Renderer& renderer) const;
  void PaintBars(toolkit::Renderer& renderer) const;
  void PaintTicks(toolkit::Renderer& renderer) const;
  double SlotWidth() const;

  int first_ = 0;
  int last_ = 0;
  std::vector<Point> line_;
  std::vector<Bar> bars_;
  std::vector<Tick> ticks_;
  std::optional<double> reference_;
  CStdString referenceLabel_;
  CStdString lineTitle_;
  CStdString barTitle_;
  CStdString emptyText_;
  CStdString barEmptyText_;
  CStdString markText_;
  int font_ = -1;
  int barHeight_ = 80;
  int decimals_ = 1;
  uint32_t lineColor_ = 0xFF3D9BE0u;
  uint32_t markColor_ = 0xFFE8A33Du;
  uint32_t referenceColor_ = 0xFF2EAD5Bu;
  uint32_t barColor_ = 0xFF9CCDF0u;
  uint32_t gridColor_ = 0xFFE6EEF4u;
  uint32_t axisColor_ = 0xFFC9D3DBu;
  uint32_t textColor_ = 0xFF8A99A6u;
  uint32_t titleColor_ = 0xFF5D5D5Du;
};

namespace toolkit {
// A value axis over min..max with at most maxSteps round steps (1, 2 or 5 times a power of ten),
// never narrower than minSpan; a single value sits mid-axis.
CChartUI::Axis RoundAxis(double min, double max, int maxSteps, double minSpan);
}  // namespace toolkit
