#include "toolkit/render/hsl.h"

#include <algorithm>
#include <cmath>

namespace toolkit {
namespace {

double HueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

uint32_t ToByte(double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

}  // namespace

uint32_t ShiftColor(uint32_t argb, const HslShift& shift) {
  if (shift.IsIdentity()) return argb;
  double r = ((argb >> 16) & 0xFF) / 255.0, g = ((argb >> 8) & 0xFF) / 255.0, b = (argb & 0xFF) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, h = 0, s = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    h = mx == r ? (g - b) / d + (g < b ? 6 : 0) : (mx == g ? (b - r) / d + 2 : (r - g) / d + 4);
    h /= 6;
  }
  h = std::fmod(h + (shift.hue - 180) / 360.0 + 1.0, 1.0);
  s = std::clamp(s * shift.saturation / 100.0, 0.0, 1.0);
  l = std::clamp(l * shift.lightness / 100.0, 0.0, 1.0);
  double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
  return (argb & 0xFF000000u) | (ToByte(HueChannel(p, q, h + 1.0 / 3)) << 16) | (ToByte(HueChannel(p, q, h)) << 8) |
         ToByte(HueChannel(p, q, h - 1.0 / 3));
}

uint32_t ShiftPremultiplied(uint32_t pixel, const HslShift& shift) {
  uint32_t a = pixel >> 24;
  if (a == 0) return pixel;
  auto unmultiply = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
  uint32_t straight = (a << 24) | (unmultiply((pixel >> 16) & 0xFF) << 16) | (unmultiply((pixel >> 8) & 0xFF) << 8) |
                      unmultiply(pixel & 0xFF);
  uint32_t shifted = ShiftColor(straight, shift);
  auto multiply = [a](uint32_t c) { return (c * a + 127) / 255; };
  return (a << 24) | (multiply((shifted >> 16) & 0xFF) << 16) | (multiply((shifted >> 8) & 0xFF) << 8) |
         multiply(shifted & 0xFF);
}

}  // namespace toolkit
