#include "toolkit/backend/gtk/gtk_window.h"

#include <gdk/gdkkeysyms.h>

#include "toolkit/core/dispatcher.h"
#include "toolkit/render/cairo_renderer.h"

namespace toolkit {
namespace {

WPARAM VirtualKey(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      return VK_RETURN;
    case GDK_KEY_Escape:
      return VK_ESCAPE;
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:  // what shift turns Tab into
      return VK_TAB;
    case GDK_KEY_BackSpace:
      return VK_BACK;
    case GDK_KEY_space:
      return VK_SPACE;
    default:
      break;
  }
  guint upper = gdk_keyval_to_upper(keyval);
  if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9')) return upper;
  return 0;
}

WindowHost* HostOf(gpointer data) { return static_cast<GtkNativeWindow*>(data)->Host(); }

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  if (WindowHost* h = HostOf(data)) {
    CairoRenderer renderer(cr);
    h->OnNativePaint(renderer);
  }
  return TRUE;
}

gboolean OnButton(GtkWidget*, GdkEventButton* e, gpointer data) {
  WindowHost* h = HostOf(data);
  if (!h) return TRUE;
  UINT msg = 0;
  bool left = e->button == 1;
  if (e->button != 1 && e->button != 3) return FALSE;
  if (e->type == GDK_BUTTON_PRESS) msg = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
  if (e->type == GDK_2BUTTON_PRESS) msg = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
  if (e->type == GDK_BUTTON_RELEASE) msg = left ? WM_LBUTTONUP : WM_RBUTTONUP;
  if (msg) h->OnNativeMouse(msg, static_cast<int>(e->x), static_cast<int>(e->y));
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* e, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeMouse(WM_MOUSEMOVE, static_cast<int>(e->x), static_cast<int>(e->y));
  return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing*, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeMouse(WM_MOUSELEAVE, 0, 0);
  return FALSE;
}

gboolean OnKey(GtkWidget*, GdkEventKey* e, gpointer data) {
  WindowHost* h = HostOf(data);
  WPARAM vk = VirtualKey(e->keyval);
  if (!h || !vk) return FALSE;
  Dispatcher::Instance().SetShiftDown((e->state & GDK_SHIFT_MASK) != 0);
  h->OnNativeKey(vk);
  Dispatcher::Instance().SetShiftDown(false);
  // Return and Escape belong to the window's filters and Tab to its focus order; other keys go
  // on to the focused entry.
  return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* e, gpointer data) {
  WindowHost* h = HostOf(data);
  if (!h) return TRUE;
  int delta = 0;
  if (e->direction == GDK_SCROLL_UP) delta = WHEEL_DELTA;
  if (e->direction == GDK_SCROLL_DOWN) delta = -WHEEL_DELTA;
  // Without the smooth-scroll mask GDK turns touchpad motion into these notches too.
  if (delta) h->OnNativeWheel(static_cast<int>(e->x), static_cast<int>(e->y), delta);
  return TRUE;
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* e, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeFocus(e->in != 0);
  return FALSE;
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
  CRect r(e->x, e->y, e->x + e->width, e->y + e->height);
  static_cast<GtkNativeWindow*>(data)->NoteConfigured(r);
  if (WindowHost* h = HostOf(data)) h->OnNativeMoved(r);
  return FALSE;
}

gboolean OnState(GtkWidget*, GdkEventWindowState* e, gpointer data) {
  if (WindowHost* h = HostOf(data)) {
    if (e->changed_mask & GDK_WINDOW_STATE_ICONIFIED) h->OnNativeMinimized((e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0);
  }
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeCloseRequest();
  return TRUE;  // the toolkit destroys the window itself
}

// A real entry with no frame of its own: the skin draws the field.
class GtkEntryOverEdit : public TextEntry {
 public:
  GtkEntryOverEdit(GtkWidget* overlay, TextEntryHost* host) : overlay_(overlay), host_(host) {
    // The edit control may outlive the window that holds the entry.
    entry_.reset(GTK_WIDGET(g_object_ref_sink(gtk_entry_new())));
    gtk_entry_set_has_frame(GTK_ENTRY(entry_.get()), FALSE);
    // The control decides the width; an entry would otherwise ask for room for many characters.
    gtk_entry_set_width_chars(GTK_ENTRY(entry_.get()), 1);
    gtk_entry_set_max_width_chars(GTK_ENTRY(entry_.get()), 1);
    gtk_widget_set_halign(entry_.get(), GTK_ALIGN_START);
    gtk_widget_set_valign(entry_.get(), GTK_ALIGN_START);
    GObjectRef<GtkCssProvider> css(gtk_css_provider_new());
    gtk_css_provider_load_from_data(
        css.get(), "entry { background: transparent; border: none; box-shadow: none; padding: 0; min-height: 0; }",
        -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(entry_.get()), GTK_STYLE_PROVIDER(css.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay_), entry_.get());
    g_signal_connect(entry_.get(), "changed", G_CALLBACK(+[](GtkEditable* e, gpointer self) {
                       auto* me = static_cast<GtkEntryOverEdit*>(self);
                       if (me->host_ && !me->setting_) me->host_->OnEntryChanged(gtk_entry_get_text(GTK_ENTRY(e)));
                     }),
                     this);
    g_signal_connect(entry_.get(), "focus-in-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                       auto* me = static_cast<GtkEntryOverEdit*>(self);
                       if (me->host_) me->host_->OnEntryFocus(true);
                       return FALSE;
                     }),
                     this);
  }
  ~GtkEntryOverEdit() override {
    host_ = nullptr;
    g_signal_handlers_disconnect_by_data(entry_.get(), this);
    if (gtk_widget_get_parent(entry_.get())) gtk_widget_destroy(entry_.get());
  }
  void SetBounds(const CRect& r) override {
    gtk_widget_set_margin_start(entry_.get(), std::max(0, r.left));
    gtk_widget_set_margin_top(entry_.get(), std::max(0, r.top));
    gtk_widget_set_size_request(entry_.get(), std::max(1, r.GetWidth()), std::max(1, r.GetHeight()));
  }
  void SetText(const std::string& text) override {
    setting_ = true;
    gtk_entry_set_text(GTK_ENTRY(entry_.get()), text.c_str());
    setting_ = false;
  }
  void SetPassword(bool on) override { gtk_entry_set_visibility(GTK_ENTRY(entry_.get()), !on); }
  void SetReadOnly(bool on) override { gtk_editable_set_editable(GTK_EDITABLE(entry_.get()), !on); }
  void SetVisible(bool on) override { gtk_widget_set_visible(entry_.get(), on); }
  void SetEnabled(bool on) override { gtk_widget_set_sensitive(entry_.get(), on); }
  void SetFont(const std::string& family, int pixelSize) override {
    PangoFontDescriptionHolder d(pango_font_description_new());
    std::string families = family + ",WenQuanYi Micro Hei,sans-serif";
    pango_font_description_set_family(d.get(), families.c_str());
    pango_font_description_set_absolute_size(d.get(), pixelSize * PANGO_SCALE);
    PangoAttrListHolder attrs(pango_attr_list_new());
    pango_attr_list_insert(attrs.get(), pango_attr_font_desc_new(d.get()));
    gtk_entry_set_attributes(GTK_ENTRY(entry_.get()), attrs.get());
  }
  void SetTextColor(uint32_t) override {}
  void Focus() override { gtk_widget_grab_focus(entry_.get()); }
  void Blur() override {
    GtkWidget* top = gtk_widget_get_toplevel(entry_.get());
    // The window's focus widget, even while the window itself is not the active one.
    if (GTK_IS_WINDOW(top) && gtk_window_get_focus(GTK_WINDOW(top)) == entry_.get()) {
      gtk_window_set_focus(GTK_WINDOW(top), nullptr);
    }
  }

 private:
  GtkWidget* overlay_;
  GObjectRef<GtkWidget> entry_;
  TextEntryHost* host_;
  bool setting_ = false;
};

}  // namespace

GtkNativeWindow::GtkNativeWindow(WindowHost* host, const WindowParams& params) : host_(host), rect_(params.rect) {
  window_.reset(GTK_WIDGET(g_object_ref_sink(gtk_window_new(GTK_WINDOW_TOPLEVEL))));
  gtk_window_set_title(GTK_WINDOW(window_.get()), params.title.c_str());
  gtk_window_set_decorated(GTK_WINDOW(window_.get()), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(window_.get()), FALSE);
  gtk_widget_set_app_paintable(window_.get(), TRUE);
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_.get()))) gtk_widget_set_visual(window_.get(), rgba);
  if (params.toolWindow) {
    gtk_window_set_type_hint(GTK_WINDOW(window_.get()), GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_.get()), TRUE);
    gtk_window_set_skip_pager_hint(GTK_WINDOW(window_.get()), TRUE);
  } else if (params.popup && params.owner) {
    gtk_window_set_type_hint(GTK_WINDOW(window_.get()), GDK_WINDOW_TYPE_HINT_DIALOG);
  }
  if (params.topMost) gtk_window_set_keep_above(GTK_WINDOW(window_.get()), TRUE);
  if (auto* owner = dynamic_cast<GtkNativeWindow*>(params.owner)) {
    gtk_window_set_transient_for(GTK_WINDOW(window_.get()), GTK_WINDOW(owner->window_.get()));
  }
  // The drawing area fills the window, whatever size the user gives a resizable one; the entries
  // float over it where their edit controls are.
  overlay_ = gtk_overlay_new();
  area_ = gtk_drawing_area_new();
  gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                   GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK);
  gtk_container_add(GTK_CONTAINER(overlay_), area_);
  gtk_container_add(GTK_CONTAINER(window_.get()), overlay_);
  g_signal_connect(area_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(area_, "leave-notify-event", G_CALLBACK(OnLeave), this);
  g_signal_connect(area_, "scroll-event", G_CALLBACK(OnScroll), this);
  g_signal_connect(window_.get(), "key-press-event", G_CALLBACK(OnKey), this);
  g_signal_connect(window_.get(), "focus-in-event", G_CALLBACK(OnFocus), this);
  g_signal_connect(window_.get(), "focus-out-event", G_CALLBACK(OnFocus), this);
  g_signal_connect(window_.get(), "configure-event", G_CALLBACK(OnConfigure), this);
  g_signal_connect(window_.get(), "window-state-event", G_CALLBACK(OnState), this);
  g_signal_connect(window_.get(), "delete-event", G_CALLBACK(OnDelete), this);
  SetBounds(rect_);
  gtk_widget_show_all(overlay_);
}

GtkNativeWindow::~GtkNativeWindow() {
  host_ = nullptr;
  gtk_widget_destroy(window_.get());
}

void GtkNativeWindow::SetTitle(const std::string& title) {
  gtk_window_set_title(GTK_WINDOW(window_.get()), title.c_str());
}

void GtkNativeWindow::SetDecorated(bool decorated) { gtk_window_set_decorated(GTK_WINDOW(window_.get()), decorated); }

void GtkNativeWindow::SetTopMost(bool topMost) { gtk_window_set_keep_above(GTK_WINDOW(window_.get()), topMost); }

void GtkNativeWindow::SetBounds(const CRect& r) {
  rect_ = r;
  gtk_window_move(GTK_WINDOW(window_.get()), r.left, r.top);
  ApplyAreaRequest();
  gtk_window_resize(GTK_WINDOW(window_.get()), std::max(1, r.GetWidth()), std::max(1, r.GetHeight()));
}

// A window that is not resizable takes exactly the size its content asks for, so the area asks
// for the window's size; a resizable one may shrink to its geometry hints.
void GtkNativeWindow::ApplyAreaRequest() {
  if (resizable_) {
    gtk_widget_set_size_request(area_, 1, 1);
  } else {
    gtk_widget_set_size_request(area_, std::max(1, rect_.GetWidth()), std::max(1, rect_.GetHeight()));
  }
}

void GtkNativeWindow::SetResizable(bool resizable, const CSize& minSize, const CSize& maxSize) {
  resizable_ = resizable;
  gtk_window_set_resizable(GTK_WINDOW(window_.get()), resizable);
  GdkGeometry hints{};
  int mask = 0;
  if (resizable) {
    hints.min_width = std::max(1, minSize.cx);
    hints.min_height = std::max(1, minSize.cy);
    mask |= GDK_HINT_MIN_SIZE;
    if (maxSize.cx > 0 || maxSize.cy > 0) {
      hints.max_width = maxSize.cx > 0 ? maxSize.cx : G_MAXSHORT;
      hints.max_height = maxSize.cy > 0 ? maxSize.cy : G_MAXSHORT;
      mask |= GDK_HINT_MAX_SIZE;
    }
  }
  gtk_window_set_geometry_hints(GTK_WINDOW(window_.get()), nullptr, &hints, static_cast<GdkWindowHints>(mask));
  ApplyAreaRequest();
}

void GtkNativeWindow::SetEdgeCursor(int hit) {
  GdkWindow* gdk = gtk_widget_get_window(area_);
  if (!gdk) return;
  const char* name = nullptr;
  switch (hit) {
    case HTLEFT: case HTRIGHT: name = "ew-resize"; break;
    case HTTOP: case HTBOTTOM: name = "ns-resize"; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: name = "nwse-resize"; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: name = "nesw-resize"; break;
    default: break;
  }
  GObjectRef<GdkCursor> cursor(name ? gdk_cursor_new_from_name(gdk_window_get_display(gdk), name) : nullptr);
  gdk_window_set_cursor(gdk, cursor.get());
}

void GtkNativeWindow::BeginResizeDrag(int edge, int screenX, int screenY) {
  GdkWindowEdge gdkEdge;
  switch (edge) {
    case HTLEFT: gdkEdge = GDK_WINDOW_EDGE_WEST; break;
    case HTRIGHT: gdkEdge = GDK_WINDOW_EDGE_EAST; break;
    case HTTOP: gdkEdge = GDK_WINDOW_EDGE_NORTH; break;
    case HTTOPLEFT: gdkEdge = GDK_WINDOW_EDGE_NORTH_WEST; break;
    case HTTOPRIGHT: gdkEdge = GDK_WINDOW_EDGE_NORTH_EAST; break;
    case HTBOTTOM: gdkEdge = GDK_WINDOW_EDGE_SOUTH; break;
    case HTBOTTOMLEFT: gdkEdge = GDK_WINDOW_EDGE_SOUTH_WEST; break;
    case HTBOTTOMRIGHT: gdkEdge = GDK_WINDOW_EDGE_SOUTH_EAST; break;
    default: return;
  }
  if (!resizable_) return;
  gtk_window_begin_resize_drag(GTK_WINDOW(window_.get()), gdkEdge, 1, screenX, screenY, gtk_get_current_event_time());
}

void GtkNativeWindow::Show(bool visible, bool minimized, bool activate) {
  if (!visible) {
    gtk_widget_hide(window_.get());
    return;
  }
  gtk_window_set_focus_on_map(GTK_WINDOW(window_.get()), activate);
  gtk_window_move(GTK_WINDOW(window_.get()), rect_.left, rect_.top);
  gtk_widget_show(window_.get());
  if (minimized) {
    gtk_window_iconify(GTK_WINDOW(window_.get()));
  } else {
    gtk_window_deiconify(GTK_WINDOW(window_.get()));
    if (activate) gtk_window_present(GTK_WINDOW(window_.get()));
  }
  minimized_ = minimized;
}

void GtkNativeWindow::Invalidate() { gtk_widget_queue_draw(area_); }

void GtkNativeWindow::SetShape(const std::vector<CRect>& bands) {
  if (bands.empty()) {
    gtk_widget_shape_combine_region(window_.get(), nullptr);
    return;
  }
  CairoRegion region(cairo_region_create());
  for (const CRect& b : bands) {
    cairo_rectangle_int_t r{b.left, b.top, b.GetWidth(), b.GetHeight()};
    cairo_region_union_rectangle(region.get(), &r);
  }
  gtk_widget_shape_combine_region(window_.get(), region.get());
}

void GtkNativeWindow::SetOpacity(double opacity) { gtk_widget_set_opacity(window_.get(), opacity); }

void GtkNativeWindow::SetEnabled(bool enabled) { gtk_widget_set_sensitive(overlay_, enabled); }

void GtkNativeWindow::BeginMoveDrag(int screenX, int screenY) {
  gtk_window_begin_move_drag(GTK_WINDOW(window_.get()), 1, screenX, screenY, gtk_get_current_event_time());
}

void GtkNativeWindow::SetIconFile(const std::string& pngPath) {
  gtk_window_set_icon_from_file(GTK_WINDOW(window_.get()), pngPath.c_str(), nullptr);
}

void GtkNativeWindow::SetTooltip(const std::string& text) {
  gtk_widget_set_tooltip_text(area_, text.empty() ? nullptr : text.c_str());
}

std::unique_ptr<TextEntry> GtkNativeWindow::CreateTextEntry(TextEntryHost* host) {
  auto entry = std::make_unique<GtkEntryOverEdit>(overlay_, host);
  return entry;
}

}  // namespace toolkit
