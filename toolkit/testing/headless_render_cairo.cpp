// Pictures of headless windows on Linux: painted by the cairo renderer into an image surface.
#include <cairo.h>

#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/render/cairo_renderer.h"
#include "toolkit/render/gfx_holders.h"
#include "toolkit/testing/headless.h"

namespace toolkit::headless {

namespace {
CWindowWnd* Window(HWND hwnd) { return Dispatcher::Instance().Find(hwnd); }
}  // namespace

cairo_surface_t* Render(HWND hwnd) {
  CWindowWnd* w = Window(hwnd);
  RECT r;
  if (!w || !GetClientRect(hwnd, &r) || r.right <= 0 || r.bottom <= 0) return nullptr;
  CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.right, r.bottom));
  {
    CairoContext owned(cairo_create(surface.get()));
    cairo_t* cr = owned.get();
    if (!w->ShapeBands().empty()) {
      for (const CRect& band : w->ShapeBands()) {
        cairo_rectangle(cr, band.left, band.top, band.GetWidth(), band.GetHeight());
      }
      cairo_clip(cr);
    }
    CairoRenderer renderer(cr);
    w->OnNativePaint(renderer);
  }
  cairo_surface_flush(surface.get());
  return surface.release();
}

bool RenderToPng(HWND hwnd, const std::string& path) {
  CairoSurface surface(Render(hwnd));
  return surface && cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace toolkit::headless
