#pragma once
// Small PNG files drawn on the spot, so tests need no binary data in the tree.

#include <cairo.h>

#include <cstdint>
#include <string>

namespace toolkit_testing {

// A w by h PNG of one colour (ARGB), with the left half of another colour when left is given.
inline bool WritePng(const std::string& path, int w, int h, uint32_t argb, uint32_t left = 0) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  auto set = [&](uint32_t c) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          ((c >> 24) & 0xFF) / 255.0);
  };
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  set(argb);
  cairo_paint(cr);
  if (left) {
    set(left);
    cairo_rectangle(cr, 0, 0, w / 2, h);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
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
