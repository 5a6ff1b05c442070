#include "service/site/weight_chart.h"

#include <algorithm>

#include "platform/civil_days.h"
#include "platform/number_text.h"
#include "service/site/html.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// Days since 1970-01-01 of a stored "YYYY-MM-DD" (proleptic Gregorian calendar).
long DayNumber(const std::string& day) {
  CalendarDay date = PartsOfDay(day);
  return platform::DaysFromCivil(date.year, date.month, date.day);
}

std::string Number(double value) { return platform::FixedText(value, 1); }

}  // namespace

std::string WeightChartSvg(const std::vector<WeightRow>& weights, int width, int height) {
  if (weights.empty()) return "<p>还没有上传的体重。</p>";
  const double left = 56, right = 16, top = 16, bottom = 40;
  const double plotWidth = width - left - right, plotHeight = height - top - bottom;

  long firstDay = DayNumber(weights.front().day), lastDay = DayNumber(weights.back().day);
  auto [lightest, heaviest] = std::minmax_element(weights.begin(), weights.end(), [](const auto& a, const auto& b) {
    return a.weightTenths < b.weightTenths;
  });
  // A kilogram of room above and below keeps a flat line off the frame.
  int low = lightest->weightTenths - 10, high = heaviest->weightTenths + 10;
  long span = std::max(1L, lastDay - firstDay);
  auto x = [&](const WeightRow& row) {
    return firstDay == lastDay ? left + plotWidth / 2 : left + plotWidth * (DayNumber(row.day) - firstDay) / span;
  };
  auto y = [&](int tenths) { return top + plotHeight * (high - tenths) / (high - low); };

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
                    std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + " " +
                    std::to_string(height) + "\" role=\"img\" aria-label=\"体重曲线\">";
  svg += "<rect x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(plotWidth) + "\" height=\"" +
         Number(plotHeight) + "\" fill=\"#f8fbff\" stroke=\"#99a\"/>";
  for (int tenths : {high - 10, low + 10}) {
    svg += "<text x=\"" + Number(left - 6) + "\" y=\"" + Number(y(tenths) + 4) +
           "\" text-anchor=\"end\" font-size=\"12\">" + KilogramText(tenths) + "</text>";
  }
  svg += "<text x=\"" + Number(left) + "\" y=\"" + Number(height - 12.0) + "\" font-size=\"12\">" +
         HtmlText(weights.front().day) + "</text>";
  svg += "<text x=\"" + Number(left + plotWidth) + "\" y=\"" + Number(height - 12.0) +
         "\" text-anchor=\"end\" font-size=\"12\">" + HtmlText(weights.back().day) + "</text>";
  svg += "<polyline fill=\"none\" stroke=\"#0c6eaf\" stroke-width=\"2\" points=\"";
  for (const WeightRow& row : weights) svg += Number(x(row)) + "," + Number(y(row.weightTenths)) + " ";
  svg += "\"/>";
  for (const WeightRow& row : weights) {
    svg += "<circle cx=\"" + Number(x(row)) + "\" cy=\"" + Number(y(row.weightTenths)) +
           "\" r=\"3\" fill=\"#0c6eaf\"><title>" + HtmlText(row.day) + " " + KilogramText(row.weightTenths) +
           " kg</title></circle>";
  }
  svg += "</svg>";
  return svg;
}

}  // namespace service
