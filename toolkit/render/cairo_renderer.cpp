#include "toolkit/render/cairo_renderer.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "toolkit/render/gfx_holders.h"
#include "toolkit/skin/markup.h"
#include "toolkit/skin/resource_source.h"

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

CairoSurface DecodePng(std::string_view bytes) {
  PngReader reader{bytes, 0};
  CairoSurface s(cairo_image_surface_create_from_png_stream(ReadPngChunk, &reader));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

// JPEG and anything else gdk-pixbuf reads, copied into a premultiplied cairo surface.
CairoSurface DecodeWithPixbuf(std::string_view bytes) {
  GObjectRef<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
  bool ok =
      gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  ok = gdk_pixbuf_loader_close(loader.get(), nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
  CairoSurface owned;
  if (pixbuf) {
    int w = gdk_pixbuf_get_width(pixbuf);
    int h = gdk_pixbuf_get_height(pixbuf);
    int channels = gdk_pixbuf_get_n_channels(pixbuf);
    int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
    owned.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    cairo_surface_t* s = owned.get();
    cairo_surface_flush(s);
    unsigned char* dst = cairo_image_surface_get_data(s);
    int dstStride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(dst + y * dstStride);
      const guchar* p = src + y * stride;
      for (int x = 0; x < w; ++x, p += channels) {
        uint32_t a = channels == 4 ? p[3] : 255;
        uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
        row[x] = (a << 24) | (r << 16) | (g << 8) | b;
      }
    }
    cairo_surface_mark_dirty(s);
  }
  return owned;
}

void ApplyMask(cairo_surface_t* s, uint32_t rgb) {
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      if ((row[x] >> 24) == 0xFF && (row[x] & 0x00FFFFFFu) == rgb) row[x] = 0;
    }
  }
  cairo_surface_mark_dirty(s);
}

void SetColor(cairo_t* cr, uint32_t argb, bool ignoreAlpha) {
  double a = ignoreAlpha ? 1.0 : ((argb >> 24) & 0xFF) / 255.0;
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, a);
}

int64_t FileStamp(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec + st.st_size;
}

// Draws source part src of image into dst: stretched, or repeated at its own size along a tiled
// direction. Only src is sampled, so the pixels around a part of a sprite sheet never bleed in.
void Blit(cairo_t* cr, const Image& image, const CRect& src, const CRect& dst, double alpha, bool tileX = false,
          bool tileY = false) {
  if (src.IsEmpty() || dst.IsEmpty()) return;
  CairoSurface part(
      cairo_surface_create_for_rectangle(image.Surface(), src.left, src.top, src.GetWidth(), src.GetHeight()));
  CairoPattern owned(cairo_pattern_create_for_surface(part.get()));
  cairo_pattern_t* pattern = owned.get();
  double sx = tileX ? 1.0 : static_cast<double>(src.GetWidth()) / dst.GetWidth();
  double sy = tileY ? 1.0 : static_cast<double>(src.GetHeight()) / dst.GetHeight();
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, sx, sy);
  cairo_matrix_translate(&m, -dst.left, -dst.top);
  cairo_pattern_set_matrix(pattern, &m);
  bool scaled = sx != 1.0 || sy != 1.0;
  cairo_pattern_set_filter(pattern, scaled ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(pattern, tileX || tileY ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
  cairo_save(cr);
  cairo_rectangle(cr, dst.left, dst.top, dst.GetWidth(), dst.GetHeight());
  cairo_clip(cr);
  cairo_set_source(cr, pattern);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

// A copy of image with every pixel shifted.
std::unique_ptr<Image> ShiftedCopy(const Image& image, const HslShift& shift) {
  int w = image.Width(), h = image.Height();
  CairoSurface owned(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  cairo_surface_t* s = owned.get();
  cairo_surface_flush(image.Surface());
  cairo_surface_flush(s);
  const unsigned char* from = cairo_image_surface_get_data(image.Surface());
  unsigned char* to = cairo_image_surface_get_data(s);
  int fromStride = cairo_image_surface_get_stride(image.Surface());
  int toStride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(from + y * fromStride);
    auto* out = reinterpret_cast<uint32_t*>(to + y * toStride);
    for (int x = 0; x < w; ++x) out[x] = ShiftPremultiplied(in[x], shift);
  }
  cairo_surface_mark_dirty(s);
  return std::make_unique<Image>(owned.release());
}

GObjectRef<PangoLayout> MakeLayout(cairo_t* cr, std::string_view text, const FontSpec& font, bool markup,
                                   std::optional<uint32_t> baseColor) {
  GObjectRef<PangoLayout> owned(pango_cairo_create_layout(cr));
  PangoLayout* layout = owned.get();
  PangoFontDescriptionHolder descHolder(pango_font_description_new());
  PangoFontDescription* desc = descHolder.get();
  // The skins name Windows fonts; the CJK family behind them keeps Chinese text readable where
  // the named one is missing.
  std::string families = font.family + ",WenQuanYi Micro Hei,Noto Sans CJK SC,sans-serif";
  pango_font_description_set_family(desc, families.c_str());
  pango_font_description_set_absolute_size(desc, std::max(1, font.size) * PANGO_SCALE);
  if (font.bold) pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD);
  if (font.italic) pango_font_description_set_style(desc, PANGO_STYLE_ITALIC);
  pango_layout_set_font_description(layout, desc);

  PangoAttrListHolder attrsHolder(pango_attr_list_new());
  PangoAttrList* attrs = attrsHolder.get();
  if (font.underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  std::string plain;
  if (markup) {
    for (const TextRun& run : ParseMarkup(text)) {
      auto start = static_cast<guint>(plain.size());
      plain += run.text;
      auto end = static_cast<guint>(plain.size());
      auto add = [&](PangoAttribute* a) {
        a->start_index = start;
        a->end_index = end;
        pango_attr_list_insert(attrs, a);
      };
      if (run.color) {
        uint32_t c = *run.color;
        add(pango_attr_foreground_new(static_cast<guint16>(((c >> 16) & 0xFF) * 257),
                                      static_cast<guint16>(((c >> 8) & 0xFF) * 257),
                                      static_cast<guint16>((c & 0xFF) * 257)));
      }
      if (run.bold) add(pango_attr_weight_new(PANGO_WEIGHT_BOLD));
      if (run.italic) add(pango_attr_style_new(PANGO_STYLE_ITALIC));
      if (run.underline) add(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
  } else {
    plain = std::string(text);
  }
  (void)baseColor;
  pango_layout_set_text(layout, plain.c_str(), static_cast<int>(plain.size()));
  pango_layout_set_attributes(layout, attrs);
  return owned;
}

}  // namespace

void Image::SurfaceRelease::operator()(cairo_surface_t* surface) const { CairoSurface released(surface); }
Image::Image(cairo_surface_t* surface) : surface_(surface) {}
int Image::Width() const { return cairo_image_surface_get_width(surface_.get()); }
int Image::Height() const { return cairo_image_surface_get_height(surface_.get()); }

std::unique_ptr<Image> DecodeImage(std::string_view bytes, std::optional<uint32_t> mask) {
  if (bytes.size() < 8) return nullptr;
  static const char kPng[] = "\x89PNG\r\n\x1a\n";
  CairoSurface s = std::memcmp(bytes.data(), kPng, 8) == 0 ? DecodePng(bytes) : DecodeWithPixbuf(bytes);
  if (!s) return nullptr;
  if (cairo_image_surface_get_format(s.get()) != CAIRO_FORMAT_ARGB32) {
    // Opaque PNGs decode as RGB24; the mask needs an alpha channel to clear.
    CairoSurface argb(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(s.get()),
                                                 cairo_image_surface_get_height(s.get())));
    CairoContext cr(cairo_create(argb.get()));
    cairo_set_source_surface(cr.get(), s.get(), 0, 0);
    cairo_paint(cr.get());
    s = std::move(argb);
  }
  if (mask) ApplyMask(s.get(), *mask);
  return std::make_unique<Image>(s.release());
}

const Image* ImageCache::Get(const ResourceSource& source, const std::string& file, std::optional<uint32_t> mask,
                             const HslShift* shift) {
  std::string key = NormalizePath(file) + (mask ? "#" + std::to_string(*mask) : std::string());
  int64_t stamp = FileStamp(source.DiskPath(file));
  auto it = images_.find(key);
  if (it == images_.end() || it->second.stamp != stamp) {
    auto bytes = source.Read(file);
    Entry entry;
    entry.stamp = stamp;
    if (bytes) entry.image = DecodeImage(*bytes, mask);
    // A failed read is remembered too, so a missing image costs one look-up per change, not per paint.
    it = images_.insert_or_assign(key, std::move(entry)).first;
  }
  const Image* image = it->second.image.get();
  if (!image || !shift || shift->IsIdentity()) return image;
  // Tinted copies are kept beside the image they come from and made again when it changes.
  std::string tinted = key + "|" + std::to_string(shift->hue) + "," + std::to_string(shift->saturation) + "," +
                       std::to_string(shift->lightness);
  auto t = images_.find(tinted);
  if (t != images_.end() && t->second.stamp == stamp && t->second.image) return t->second.image.get();
  Entry copy;
  copy.stamp = stamp;
  copy.image = ShiftedCopy(*image, *shift);
  return images_.insert_or_assign(tinted, std::move(copy)).first->second.image.get();
}

void CairoRenderer::FillRect(const CRect& rect, uint32_t argb) {
  if ((argb >> 24) == 0 || rect.IsEmpty()) return;
  SetColor(cr_, argb, false);
  cairo_rectangle(cr_, rect.left, rect.top, rect.GetWidth(), rect.GetHeight());
  cairo_fill(cr_);
}

void CairoRenderer::DrawBorder(const CRect& rect, uint32_t argb, int size) {
  if ((argb >> 24) == 0 || size <= 0 || rect.IsEmpty()) return;
  SetColor(cr_, argb, false);
  cairo_set_line_width(cr_, size);
  cairo_rectangle(cr_, rect.left + size / 2.0, rect.top + size / 2.0, rect.GetWidth() - size, rect.GetHeight() - size);
  cairo_stroke(cr_);
}

bool CairoRenderer::DrawImage(const CRect& controlRect, std::string_view imageText, const ResourceSource& source,
                         ImageCache& cache, const HslShift* shift) {
  auto spec = ParseImageSpec(imageText);
  if (!spec || spec->fade == 0) return false;
  const Image* image = cache.Get(source, spec->file, spec->mask, shift);
  if (!image) return false;
  CRect src(0, 0, image->Width(), image->Height());
  if (spec->source) src = spec->source->Intersect(src);
  if (src.IsEmpty()) return false;
  CRect dst = controlRect;
  if (spec->dest) {
    dst = *spec->dest;
    dst.Offset(controlRect.left, controlRect.top);
    dst = dst.Intersect(controlRect);
  }
  if (dst.IsEmpty()) return false;
  double alpha = spec->fade / 255.0;
  const CRect& c = spec->corner;
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    Blit(cr_, *image, src, dst, alpha, spec->xTiled, spec->yTiled);
    return true;
  }
  // Nine slices: the corners keep their size, the edges stretch one way, the middle both.
  int sx[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
  int sy[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
  int dx[4] = {dst.left, dst.left + c.left, dst.right - c.right, dst.right};
  int dy[4] = {dst.top, dst.top + c.top, dst.bottom - c.bottom, dst.bottom};
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      Blit(cr_, *image, CRect(sx[i], sy[j], sx[i + 1], sy[j + 1]), CRect(dx[i], dy[j], dx[i + 1], dy[j + 1]), alpha);
    }
  }
  return true;
}

void CairoRenderer::DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color,
                        unsigned format, bool markup) {
  if (text.empty() || rect.IsEmpty()) return;
  GObjectRef<PangoLayout> owned = MakeLayout(cr_, text, font, markup, color);
  PangoLayout* layout = owned.get();
  bool single = (format & kTextSingleLine) != 0 && (format & kTextWordBreak) == 0;
  pango_layout_set_width(layout, rect.GetWidth() * PANGO_SCALE);
  if (single) {
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_ellipsize(layout, (format & kTextEndEllipsis) ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
    if (!(format & kTextEndEllipsis)) pango_layout_set_width(layout, -1);
  } else {
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  }
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  double x = rect.left;
  if (format & kTextCenter) {
    x = rect.left + (rect.GetWidth() - w) / 2.0;
  } else if (format & kTextRight) {
    x = rect.right - w;
  }
  if (!single) {
    pango_layout_set_alignment(layout, (format & kTextCenter) ? PANGO_ALIGN_CENTER
                                       : (format & kTextRight) ? PANGO_ALIGN_RIGHT
                                                               : PANGO_ALIGN_LEFT);
    x = rect.left;
  }
  double y = rect.top;
  if (format & kTextVCenter) {
    y = rect.top + (rect.GetHeight() - h) / 2.0;
  } else if (format & kTextBottom) {
    y = rect.bottom - h;
  }
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.GetWidth(), rect.GetHeight());
  cairo_clip(cr_);
  SetColor(cr_, color, true);
  cairo_move_to(cr_, x, y);
  pango_cairo_show_layout(cr_, layout);
  cairo_restore(cr_);
}

int CairoRenderer::TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) {
  if (text.empty()) return 0;
  GObjectRef<PangoLayout> owned = MakeLayout(cr_, text, font, markup, std::nullopt);
  PangoLayout* layout = owned.get();
  pango_layout_set_width(layout, std::max(1, width) * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  return h;
}

int CairoRenderer::TextWidth(std::string_view text, const FontSpec& font) {
  if (text.empty()) return 0;
  GObjectRef<PangoLayout> layout = MakeLayout(cr_, text, font, false, std::nullopt);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout.get(), &w, &h);
  return w;
}

void CairoRenderer::PushClip(const CRect& rect) {
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.left, rect.top, rect.GetWidth(), rect.GetHeight());
  cairo_clip(cr_);
}

void CairoRenderer::PopClip() { cairo_restore(cr_); }

}  // namespace toolkit
