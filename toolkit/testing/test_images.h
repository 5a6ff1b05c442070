#pragma once
// Small PNG files drawn on the spot, so tests need no binary data in the tree.

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/render/gfx_holders.h"

namespace toolkit_testing {

inline void SetColour(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        ((argb >> 24) & 0xFF) / 255.0);
}

// Replaces the pixels of a rectangle with one colour, alpha included.
inline void FillRect(cairo_t* cr, uint32_t argb, int x, int y, int w, int h) {
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetColour(cr, argb);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A w by h PNG painted by paint; CAIRO_FORMAT_RGB24 makes one without an alpha channel.
inline bool WritePainted(const std::string& path, int w, int h, const std::function<void(cairo_t*)>& paint,
                         cairo_format_t format = CAIRO_FORMAT_ARGB32) {
  toolkit::CairoSurface s(cairo_image_surface_create(format, w, h));
  paint(toolkit::CairoContext(cairo_create(s.get())).get());
  return cairo_surface_write_to_png(s.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

// A w by h PNG of one colour (ARGB), with the left half of another colour when left is given.
inline bool WritePng(const std::string& path, int w, int h, uint32_t argb, uint32_t left = 0) {
  return WritePainted(path, w, h, [&](cairo_t* cr) {
    FillRect(cr, argb, 0, 0, w, h);
    if (left) FillRect(cr, left, 0, 0, w / 2, h);
  });
}

// The pixel at x, y of an image surface as unpremultiplied ARGB.
inline uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s) + x * 4);
  uint32_t a = p >> 24;
  if (a == 0) return 0;
  auto un = [&](int shift) { return ((((p >> shift) & 0xFF) * 255 + a / 2) / a) & 0xFF; };
  return (a << 24) | (un(16) << 16) | (un(8) << 8) | un(0);
}

}  // namespace toolkit_testing
