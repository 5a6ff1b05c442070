// Image decoding on Linux: PNG through cairo, JPEG and the rest through gdk-pixbuf.

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstring>

#include "toolkit/render/gfx_holders.h"
#include "toolkit/render/image.h"

namespace toolkit {
namespace {

struct PngReader {
  std::string_view bytes;
  size_t offset = 0;
};

cairo_status_t ReadPngChunk(void* closure, unsigned char* data, unsigned int length) {
  auto* r = static_cast<PngReader*>(closure);
  if (r->offset + length > r->bytes.size()) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->bytes.data() + r->offset, length);
  r->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<Image> DecodePng(std::string_view bytes) {
  PngReader reader{bytes, 0};
  CairoSurface s(cairo_image_surface_create_from_png_stream(ReadPngChunk, &reader));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_format_t format = cairo_image_surface_get_format(s.get());
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return nullptr;
  auto image = std::make_unique<Image>(cairo_image_surface_get_width(s.get()), cairo_image_surface_get_height(s.get()));
  if (image->Width() == 0) return nullptr;
  cairo_surface_flush(s.get());
  const unsigned char* data = cairo_image_surface_get_data(s.get());
  int stride = cairo_image_surface_get_stride(s.get());
  // Opaque PNGs decode without alpha; the mask needs it to clear pixels.
  uint32_t opaque = format == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
  for (int y = 0; y < image->Height(); ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(data + y * stride);
    uint32_t* out = image->Row(y);
    for (int x = 0; x < image->Width(); ++x) out[x] = in[x] | opaque;
  }
  return image;
}

// JPEG and anything else gdk-pixbuf reads, premultiplied.
std::unique_ptr<Image> DecodeWithPixbuf(std::string_view bytes) {
  GObjectRef<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
  bool ok =
      gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  ok = gdk_pixbuf_loader_close(loader.get(), nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
  if (!pixbuf) return nullptr;
  auto image = std::make_unique<Image>(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
  if (image->Width() == 0) return nullptr;
  int channels = gdk_pixbuf_get_n_channels(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < image->Height(); ++y) {
    uint32_t* row = image->Row(y);
    const guchar* p = src + y * stride;
    for (int x = 0; x < image->Width(); ++x, p += channels) {
      uint32_t a = channels == 4 ? p[3] : 255;
      uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  return image;
}

}  // namespace

std::unique_ptr<Image> DecodeImageBytes(std::string_view bytes) {
  static const char kPng[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) return DecodePng(bytes);
  return DecodeWithPixbuf(bytes);
}

}  // namespace toolkit
