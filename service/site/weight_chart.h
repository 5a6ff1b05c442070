#pragma once
// The member's weights as an SVG line chart: days along, kilograms up.

#include <string>
#include <vector>

#include "service/store/upload_store.h"

namespace service {

// An <svg> element (width × height px) for weights in day order; a short note instead of a chart
// when there are none.
std::string WeightChartSvg(const std::vector<WeightRow>& weights, int width = 640, int height = 320);

}  // namespace service
