#include "toolkit/gtk/gtk_window.h"

#include <gdk/gdkkeysyms.h>

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
  if (WindowHost* h = HostOf(data)) h->OnNativePaint(cr);
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
  h->OnNativeKey(vk);
  // Return and Escape belong to the window's filters; other keys go on to the focused entry.
  return vk == VK_RETURN || vk == VK_ESCAPE;
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* e, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeFocus(e->in != 0);
  return FALSE;
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
  if (WindowHost* h = HostOf(data)) h->OnNativeMoved(CRect(e->x, e->y, e->x + e->width, e->y + e->height));
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
  GtkEntryOverEdit(GtkWidget* fixed, TextEntryHost* host) : fixed_(fixed), host_(host) {
    entry_ = gtk_entry_new();
    g_object_ref_sink(entry_);  // the edit control may outlive the window that holds the entry
    gtk_entry_set_has_frame(GTK_ENTRY(entry_), FALSE);
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(
        css, "entry { background: transparent; border: none; box-shadow: none; padding: 0; min-height: 0; }", -1,
        nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(entry_), GTK_STYLE_PROVIDER(css),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    gtk_fixed_put(GTK_FIXED(fixed_), entry_, 0, 0);
    g_signal_connect(entry_, "changed", G_CALLBACK(+[](GtkEditable* e, gpointer self) {
                       auto* me = static_cast<GtkEntryOverEdit*>(self);
                       if (me->host_ && !me->setting_) me->host_->OnEntryChanged(gtk_entry_get_text(GTK_ENTRY(e)));
                     }),
                     this);
    g_signal_connect(entry_, "focus-in-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                       auto* me = static_cast<GtkEntryOverEdit*>(self);
                       if (me->host_) me->host_->OnEntryFocus(true);
                       return FALSE;
                     }),
                     this);
  }
  ~GtkEntryOverEdit() override {
    host_ = nullptr;
    g_signal_handlers_disconnect_by_data(entry_, this);
    if (gtk_widget_get_parent(entry_)) gtk_widget_destroy(entry_);
    g_object_unref(entry_);
  }
  void SetBounds(const CRect& r) override {
    gtk_fixed_move(GTK_FIXED(fixed_), entry_, r.left, r.top);
    gtk_widget_set_size_request(entry_, std::max(1, r.GetWidth()), std::max(1, r.GetHeight()));
  }
  void SetText(const std::string& text) override {
    setting_ = true;
    gtk_entry_set_text(GTK_ENTRY(entry_), text.c_str());
    setting_ = false;
  }
  void SetPassword(bool on) override { gtk_entry_set_visibility(GTK_ENTRY(entry_), !on); }
  void SetReadOnly(bool on) override { gtk_editable_set_editable(GTK_EDITABLE(entry_), !on); }
  void SetVisible(bool on) override { gtk_widget_set_visible(entry_, on); }
  void SetEnabled(bool on) override { gtk_widget_set_sensitive(entry_, on); }
  void SetFont(const std::string& family, int pixelSize) override {
    PangoFontDescription* d = pango_font_description_new();
    std::string families = family + ",WenQuanYi Micro Hei,sans-serif";
    pango_font_description_set_family(d, families.c_str());
    pango_font_description_set_absolute_size(d, pixelSize * PANGO_SCALE);
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_font_desc_new(d));
    gtk_entry_set_attributes(GTK_ENTRY(entry_), attrs);
    pango_attr_list_unref(attrs);
    pango_font_description_free(d);
  }
  void SetTextColor(uint32_t) override {}
  void Focus() override { gtk_widget_grab_focus(entry_); }

 private:
  GtkWidget* fixed_;
  GtkWidget* entry_;
  TextEntryHost* host_;
  bool setting_ = false;
};

}  // namespace

GtkNativeWindow::GtkNativeWindow(WindowHost* host, const WindowParams& params) : host_(host), rect_(params.rect) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(window_);
  gtk_window_set_title(GTK_WINDOW(window_), params.title.c_str());
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_widget_set_app_paintable(window_, TRUE);
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_))) gtk_widget_set_visual(window_, rgba);
  if (params.toolWindow) {
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
    gtk_window_set_skip_pager_hint(GTK_WINDOW(window_), TRUE);
  } else if (params.popup && params.owner) {
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  }
  if (params.topMost) gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
  if (auto* owner = dynamic_cast<GtkNativeWindow*>(params.owner)) {
    gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(owner->window_));
  }
  fixed_ = gtk_fixed_new();
  area_ = gtk_drawing_area_new();
  gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                   GDK_LEAVE_NOTIFY_MASK);
  gtk_fixed_put(GTK_FIXED(fixed_), area_, 0, 0);
  gtk_container_add(GTK_CONTAINER(window_), fixed_);
  g_signal_connect(area_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(area_, "leave-notify-event", G_CALLBACK(OnLeave), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);
  g_signal_connect(window_, "focus-in-event", G_CALLBACK(OnFocus), this);
  g_signal_connect(window_, "focus-out-event", G_CALLBACK(OnFocus), this);
  g_signal_connect(window_, "configure-event", G_CALLBACK(OnConfigure), this);
  g_signal_connect(window_, "window-state-event", G_CALLBACK(OnState), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  SetBounds(rect_);
  gtk_widget_show_all(fixed_);
}

GtkNativeWindow::~GtkNativeWindow() {
  host_ = nullptr;
  gtk_widget_destroy(window_);
  g_object_unref(window_);
}

void GtkNativeWindow::SetTitle(const std::string& title) { gtk_window_set_title(GTK_WINDOW(window_), title.c_str()); }

void GtkNativeWindow::SetDecorated(bool decorated) { gtk_window_set_decorated(GTK_WINDOW(window_), decorated); }

void GtkNativeWindow::SetTopMost(bool topMost) { gtk_window_set_keep_above(GTK_WINDOW(window_), topMost); }

void GtkNativeWindow::SetBounds(const CRect& r) {
  rect_ = r;
  gtk_window_move(GTK_WINDOW(window_), r.left, r.top);
  gtk_widget_set_size_request(area_, std::max(1, r.GetWidth()), std::max(1, r.GetHeight()));
  gtk_window_resize(GTK_WINDOW(window_), std::max(1, r.GetWidth()), std::max(1, r.GetHeight()));
}

void GtkNativeWindow::Show(bool visible, bool minimized, bool activate) {
  if (!visible) {
    gtk_widget_hide(window_);
    return;
  }
  gtk_window_set_focus_on_map(GTK_WINDOW(window_), activate);
  gtk_window_move(GTK_WINDOW(window_), rect_.left, rect_.top);
  gtk_widget_show(window_);
  if (minimized) {
    gtk_window_iconify(GTK_WINDOW(window_));
  } else {
    gtk_window_deiconify(GTK_WINDOW(window_));
    if (activate) gtk_window_present(GTK_WINDOW(window_));
  }
  minimized_ = minimized;
}

void GtkNativeWindow::Invalidate() { gtk_widget_queue_draw(area_); }

void GtkNativeWindow::SetShape(const std::vector<CRect>& bands) {
  if (bands.empty()) {
    gtk_widget_shape_combine_region(window_, nullptr);
    return;
  }
  cairo_region_t* region = cairo_region_create();
  for (const CRect& b : bands) {
    cairo_rectangle_int_t r{b.left, b.top, b.GetWidth(), b.GetHeight()};
    cairo_region_union_rectangle(region, &r);
  }
  gtk_widget_shape_combine_region(window_, region);
  cairo_region_destroy(region);
}

void GtkNativeWindow::SetOpacity(double opacity) { gtk_widget_set_opacity(window_, opacity); }

void GtkNativeWindow::SetEnabled(bool enabled) { gtk_widget_set_sensitive(fixed_, enabled); }

void GtkNativeWindow::BeginMoveDrag(int screenX, int screenY) {
  gtk_window_begin_move_drag(GTK_WINDOW(window_), 1, screenX, screenY, gtk_get_current_event_time());
}

void GtkNativeWindow::SetIconFile(const std::string& pngPath) {
  gtk_window_set_icon_from_file(GTK_WINDOW(window_), pngPath.c_str(), nullptr);
}

void GtkNativeWindow::SetTooltip(const std::string& text) {
  gtk_widget_set_tooltip_text(area_, text.empty() ? nullptr : text.c_str());
}

std::unique_ptr<TextEntry> GtkNativeWindow::CreateTextEntry(TextEntryHost* host) {
  auto entry = std::make_unique<GtkEntryOverEdit>(fixed_, host);
  return entry;
}

}  // namespace toolkit
