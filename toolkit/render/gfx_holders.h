#pragma once
// Owning holders for the GObject, cairo and pango objects the toolkit makes: each lets go of its
// object the way that kind of object is let go of, however the scope ends. Only for code that
// already includes those libraries (the renderer, the backends, the headless driver).

#include <cairo.h>
#include <glib-object.h>
#include <pango/pango.h>

#include <memory>

namespace toolkit {

// A deleter that calls free on a non-null pointer.
template <auto free>
struct FreeWith {
  template <typename T>
  void operator()(T* object) const {
    if (object) free(object);
  }
};

// A reference to a GObject (a pixbuf loader, a layout, a CSS provider, a bus).
template <typename T>
using GObjectRef = std::unique_ptr<T, FreeWith<g_object_unref>>;

using CairoContext = std::unique_ptr<cairo_t, FreeWith<cairo_destroy>>;
using CairoSurface = std::unique_ptr<cairo_surface_t, FreeWith<cairo_surface_destroy>>;
using CairoPattern = std::unique_ptr<cairo_pattern_t, FreeWith<cairo_pattern_destroy>>;
using CairoRegion = std::unique_ptr<cairo_region_t, FreeWith<cairo_region_destroy>>;

using PangoFontDescriptionHolder = std::unique_ptr<PangoFontDescription, FreeWith<pango_font_description_free>>;
using PangoAttrListHolder = std::unique_ptr<PangoAttrList, FreeWith<pango_attr_list_unref>>;

using GErrorHolder = std::unique_ptr<GError, FreeWith<g_error_free>>;
using GCharHolder = std::unique_ptr<gchar, FreeWith<g_free>>;
using GVariantHolder = std::unique_ptr<GVariant, FreeWith<g_variant_unref>>;

}  // namespace toolkit
