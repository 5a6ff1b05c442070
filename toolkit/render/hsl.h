#pragma once
// Shifting colours in hue, saturation and lightness, for controls a program tints at run time:
// their colours and the pixels of their images move the same way.

#include <cstdint>

namespace toolkit {

struct HslShift {
  short hue = 180;         // 0..360, 180 keeps the hue
  short saturation = 100;  // 0..200 percent
  short lightness = 100;   // 0..200 percent
  bool IsIdentity() const { return hue == 180 && saturation == 100 && lightness == 100; }
  bool operator==(const HslShift&) const = default;
};

// The colour shifted; alpha is kept.
uint32_t ShiftColor(uint32_t argb, const HslShift& shift);
// The same for one premultiplied pixel, as cairo stores them.
uint32_t ShiftPremultiplied(uint32_t pixel, const HslShift& shift);

}  // namespace toolkit
