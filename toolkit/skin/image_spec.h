#pragma once
// The image attribute language of skins and programs: a plain file name, or
// "file='a.png' source='l,t,r,b' dest='l,t,r,b' corner='l,t,r,b' fade='n' mask='#rrggbb'".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/core/rect.h"

namespace toolkit {

struct ImageSpec {
  std::string file;
  std::optional<CRect> source;  // part of the image to draw, in image pixels
  std::optional<CRect> dest;    // where in the control, relative to its top-left corner
  CRect corner;                 // edges kept unscaled when stretching (nine-slice)
  int fade = 255;               // 0 invisible .. 255 opaque
  std::optional<uint32_t> mask; // RGB drawn as transparent
  bool xTiled = false;
  bool yTiled = false;
};

// Nothing when the text names no file (empty, or a file='' that is empty). Unknown keys are
// ignored; malformed numbers leave that key's default.
std::optional<ImageSpec> ParseImageSpec(std::string_view text);

// "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB" or a decimal number; nothing when malformed.
std::optional<uint32_t> ParseColor(std::string_view text);
// "l,t,r,b" with optional blanks; nothing unless four integers.
std::optional<CRect> ParseRectValue(std::string_view text);

}  // namespace toolkit
