#pragma once
// Reading rendered windows: where the ink of a text or an image landed, and what colour it has.

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "toolkit/core/rect.h"
#include "toolkit/testing/test_images.h"

namespace toolkit_testing {

struct Ink {
  CRect box;      // bounding box of the matching pixels (empty when none)
  int count = 0;  // how many matched
};

// The pixels of area (clipped to the surface) for which match holds.
inline Ink InkWhere(cairo_surface_t* s, const CRect& area, const std::function<bool(uint32_t)>& match) {
  Ink ink;
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  int left = w, top = h, right = -1, bottom = -1;
  for (int y = std::max(0, static_cast<int>(area.top)); y < std::min(h, static_cast<int>(area.bottom)); ++y) {
    for (int x = std::max(0, static_cast<int>(area.left)); x < std::min(w, static_cast<int>(area.right)); ++x) {
      if (!match(PixelAt(s, x, y))) continue;
      ++ink.count;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  if (ink.count) ink.box = CRect(left, top, right + 1, bottom + 1);
  return ink;
}

// Pixels that differ from the background colour.
inline Ink InkOver(cairo_surface_t* s, const CRect& area, uint32_t background) {
  return InkWhere(s, area, [background](uint32_t p) { return p != background; });
}

// Mostly red ink (text or image drawn in red).
inline bool Reddish(uint32_t p) {
  int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return (p >> 24) > 0x80 && r > 120 && r > g + 60 && r > b + 60;
}

// Dark, colourless ink (black text).
inline bool Blackish(uint32_t p) {
  int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return (p >> 24) > 0x80 && r < 110 && g < 110 && b < 110 && std::abs(r - g) < 30 && std::abs(g - b) < 30;
}

}  // namespace toolkit_testing
