#include "toolkit/render/cairo_renderer.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

#include "toolkit/render/gfx_holders.h"
#include "toolkit/skin/markup.h"
#include "toolkit/skin/resource_source.h"

namespace toolkit {
namespace {

void SetColor(cairo_t* cr, uint32_t argb, bool ignoreAlpha) {
  double a = ignoreAlpha ? 1.0 : ((argb >> 24) & 0xFF) / 255.0;
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, a);
}

// The image's pixels as a cairo surface, without a copy; the image outlives the surface.
CairoSurface SurfaceOf(const Image& image) {
  auto* data = reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image.Pixels()));
  return CairoSurface(
      cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, image.Width(), image.Height(), image.Stride()));
}

void AddPath(cairo_t* cr, const Path& path) {
  cairo_new_path(cr);
  for (const Path::Step& step : path.Steps()) {
    switch (step.op) {
      case Path::Op::kMove:
        cairo_move_to(cr, step.x, step.y);
        break;
      case Path::Op::kLine:
        cairo_line_to(cr, step.x, step.y);
        break;
      case Path::Op::kArc:
        cairo_arc(cr, step.x, step.y, step.radius, step.from, step.to);
        break;
      case Path::Op::kClose:
        cairo_close_path(cr);
        break;
    }
  }
}

}  // namespace

void CairoRenderer::Clear(bool transparent) {
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  if (transparent) {
    cairo_set_source_rgba(cr_, 0, 0, 0, 0);
  } else {
    cairo_set_source_rgb(cr_, 1, 1, 1);
  }
  cairo_paint(cr_);
  cairo_restore(cr_);
}

void CairoRenderer::FillPath(const Path& path, uint32_t argb, double alpha) {
  cairo_set_source_rgba(cr_, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                        ((argb >> 24) & 0xFF) / 255.0 * alpha);
  AddPath(cr_, path);
  cairo_fill(cr_);
}

void CairoRenderer::StrokePath(const Path& path, uint32_t argb, const StrokeStyle& style) {
  cairo_save(cr_);
  SetColor(cr_, argb, false);
  cairo_set_line_width(cr_, style.width);
  if (!style.dash.empty()) cairo_set_dash(cr_, style.dash.data(), static_cast<int>(style.dash.size()), 0);
  cairo_set_line_join(cr_, style.round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
  cairo_set_line_cap(cr_, style.round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  AddPath(cr_, path);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void CairoRenderer::Blit(const Image& image, const CRect& src, const CRect& dst, double alpha, bool tileX, bool tileY) {
  if (src.IsEmpty() || dst.IsEmpty()) return;
  cairo_t* cr = cr_;
  CairoSurface whole = SurfaceOf(image);
  CairoSurface part(
      cairo_surface_create_for_rectangle(whole.get(), src.left, src.top, src.GetWidth(), src.GetHeight()));
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

namespace {

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
