// The message box as an undecorated GTK dialog in the skins' look: a blue caption band with the
// caption (it drags the box), a white body with the kind's round glyph beside the text, and a row of
// 72 x 26 buttons with Chinese texts at the bottom right, the first in the primary blue. It stands
// centred on its anchor and has no loop of its own: the response is kept until the toolkit's loop,
// which waits for it, reads it.
#include <gtk/gtk.h>

#include <cmath>

#include "toolkit/backend/gtk/gtk_desktop.h"
#include "toolkit/backend/gtk/gtk_shown_dialog.h"
#include "toolkit/render/gfx_holders.h"

namespace toolkit {
namespace {

// Every rule is scoped to the box's own class, so no other GTK window of the program changes.
constexpr const char* kStyle = R"css(
.vymera-box { background-color: #FFFFFF; border: 1px solid #9FB6C8; }
.vymera-box .caption { background-color: #3D9BE0; border-bottom: 1px solid #15578A; }
.vymera-box .caption label { color: #FFFFFF; font-family: "WenQuanYi Micro Hei"; font-size: 14px; font-weight: bold; }
.vymera-box .message { color: #333333; font-family: "WenQuanYi Micro Hei"; font-size: 12px; }
.vymera-box button { min-width: 0; min-height: 0; padding: 0; border-radius: 4px; border: 1px solid #9FB6C8;
  background-image: none; background-color: #FFFFFF; box-shadow: none; text-shadow: none; outline-color: #15578A; }
.vymera-box button label { color: #333333; font-family: "WenQuanYi Micro Hei"; font-size: 12px; }
.vymera-box button:hover { background-color: #F4F8FB; }
.vymera-box button:active { background-color: #E6EEF4; }
.vymera-box button.primary { background-color: #3D9BE0; border-color: #15578A; }
.vymera-box button.primary label { color: #FFFFFF; }
.vymera-box button.primary:hover { background-color: #5AB0EE; }
.vymera-box button.primary:active { background-color: #2A7FBF; }
)css";

constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 26;
constexpr int kCaptionHeight = 33;
constexpr int kGlyphSize = 40;
constexpr int kMinWidth = 360;

void UseStyle() {
  static bool installed = false;
  GdkScreen* screen = gdk_screen_get_default();
  if (installed || !screen) return;
  GObjectRef<GtkCssProvider> css(gtk_css_provider_new());
  gtk_css_provider_load_from_data(css.get(), kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(css.get()),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  installed = true;
}

void AddClass(GtkWidget* widget, const char* name) {
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}

// The round glyph of an MB_ICON* kind: its colour and its sign.
struct Glyph {
  double r, g, b;
  const char* sign;
};

std::optional<Glyph> GlyphOf(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONERROR:
      return Glyph{0xD9 / 255.0, 0x53 / 255.0, 0x4F / 255.0, "\xC3\x97"};  // ×
    case MB_ICONQUESTION:
      return Glyph{0x3D / 255.0, 0x9B / 255.0, 0xE0 / 255.0, "?"};
    case MB_ICONWARNING:
      return Glyph{0xE8 / 255.0, 0xA3 / 255.0, 0x3D / 255.0, "!"};
    case MB_ICONINFORMATION:
      return Glyph{0x3D / 255.0, 0x9B / 255.0, 0xE0 / 255.0, "i"};
    default:
      return std::nullopt;
  }
}

gboolean DrawGlyph(GtkWidget* area, cairo_t* cr, gpointer data) {
  const Glyph& glyph = *static_cast<const Glyph*>(data);
  double size = gtk_widget_get_allocated_width(area);
  cairo_arc(cr, size / 2, size / 2, size / 2 - 1, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, glyph.r, glyph.g, glyph.b);
  cairo_fill(cr);
  GObjectRef<PangoLayout> layout(gtk_widget_create_pango_layout(area, glyph.sign));
  PangoFontDescriptionHolder font(pango_font_description_from_string("WenQuanYi Micro Hei Bold 17"));
  pango_layout_set_font_description(layout.get(), font.get());
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout.get(), &w, &h);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, (size - w) / 2, (size - h) / 2);
  pango_cairo_show_layout(cr, layout.get());
  return TRUE;
}

gboolean DragByCaption(GtkWidget* band, GdkEventButton* event, gpointer) {
  if (event->type != GDK_BUTTON_PRESS || event->button != 1) return FALSE;
  gtk_window_begin_move_drag(GTK_WINDOW(gtk_widget_get_toplevel(band)), static_cast<int>(event->button),
                             static_cast<int>(event->x_root), static_cast<int>(event->y_root), event->time);
  return TRUE;
}

int ResponseOf(int answer) {
  switch (answer) {
    case IDYES:
      return GTK_RESPONSE_YES;
    case IDNO:
      return GTK_RESPONSE_NO;
    case IDCANCEL:
      return GTK_RESPONSE_CANCEL;
    default:
      return GTK_RESPONSE_OK;
  }
}

GtkWidget* CaptionBand(const std::string& caption) {
  GtkWidget* band = gtk_event_box_new();
  AddClass(band, "caption");
  gtk_widget_set_size_request(band, -1, kCaptionHeight);
  GtkWidget* title = gtk_label_new(caption.c_str());
  gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_END);
  gtk_widget_set_halign(title, GTK_ALIGN_START);
  gtk_widget_set_margin_start(title, 12);
  gtk_widget_set_margin_end(title, 12);
  gtk_container_add(GTK_CONTAINER(band), title);
  g_signal_connect(band, "button-press-event", G_CALLBACK(DragByCaption), nullptr);
  return band;
}

// The glyph (when the type has one) beside the text.
GtkWidget* Body(const std::string& text, const Glyph* glyph) {
  GtkWidget* body = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 14);
  gtk_widget_set_margin_start(body, 20);
  gtk_widget_set_margin_end(body, 24);
  gtk_widget_set_margin_top(body, 22);
  gtk_widget_set_margin_bottom(body, 22);
  if (glyph) {
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, kGlyphSize, kGlyphSize);
    gtk_widget_set_valign(area, GTK_ALIGN_START);
    g_signal_connect(area, "draw", G_CALLBACK(DrawGlyph), const_cast<Glyph*>(glyph));
    gtk_box_pack_start(GTK_BOX(body), area, FALSE, FALSE, 0);
  }
  GtkWidget* message = gtk_label_new(text.c_str());
  AddClass(message, "message");
  gtk_label_set_line_wrap(GTK_LABEL(message), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(message), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(message), 44);
  gtk_label_set_xalign(GTK_LABEL(message), 0);
  gtk_widget_set_valign(message, GTK_ALIGN_CENTER);
  gtk_widget_set_size_request(message, -1, kGlyphSize);
  gtk_box_pack_start(GTK_BOX(body), message, TRUE, TRUE, 0);
  return body;
}

GtkWidget* ButtonRow(GtkWidget* dialog, UINT type) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
  gtk_widget_set_halign(row, GTK_ALIGN_END);
  gtk_widget_set_margin_end(row, 14);
  gtk_widget_set_margin_bottom(row, 12);
  bool first = true;
  for (const MessageBoxButton& choice : MessageBoxButtons(type)) {
    GtkWidget* button = gtk_button_new_with_label(choice.text);
    gtk_widget_set_size_request(button, kButtonWidth, kButtonHeight);
    if (first) AddClass(button, "primary");
    g_object_set_data(G_OBJECT(button), "response", GINT_TO_POINTER(ResponseOf(choice.answer)));
    g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer box) {
                       gtk_dialog_response(GTK_DIALOG(box), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "response")));
                     }),
                     dialog);
    gtk_box_pack_start(GTK_BOX(row), button, FALSE, FALSE, 0);
    if (first) {
      // Return answers with the first button, as the desktop's own boxes do.
      gtk_widget_set_can_default(button, TRUE);
      gtk_window_set_default(GTK_WINDOW(dialog), button);
      gtk_widget_grab_focus(button);
    }
    first = false;
  }
  return row;
}

class GtkMessageBox : public NativeMessageBox {
 public:
  GtkMessageBox(GtkWidget* dialog, UINT type, std::optional<Glyph> glyph)
      : glyph_(glyph), dialog_(dialog), type_(type) {}

  // Builds the content; the glyph it draws lives in this object.
  void Fill(const std::string& text, const std::string& caption) {
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog_));
    gtk_container_set_border_width(GTK_CONTAINER(content), 0);
    gtk_box_set_spacing(GTK_BOX(content), 0);
    gtk_box_pack_start(GTK_BOX(content), CaptionBand(caption), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), Body(text, glyph_ ? &*glyph_ : nullptr), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(content), ButtonRow(dialog_, type_), FALSE, FALSE, 0);
    gtk_widget_show_all(content);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The dialog's own button area stays empty: the row above is the box's.
    gtk_widget_hide(gtk_dialog_get_action_area(GTK_DIALOG(dialog_)));
#pragma GCC diagnostic pop
  }

  void Show(const CRect& anchor, const CRect& workArea) {
    GtkRequisition size{};
    gtk_widget_get_preferred_size(dialog_, nullptr, &size);
    CPoint place = CentredPlace(anchor, CSize(size.width, size.height), workArea);
    gtk_window_move(GTK_WINDOW(dialog_), place.x, place.y);
    shown_.emplace(dialog_);
  }

  std::optional<int> GetAnswer() override {
    std::optional<int> response = shown_ ? shown_->Response() : std::nullopt;
    if (!response) return std::nullopt;
    for (const MessageBoxButton& choice : MessageBoxButtons(type_)) {
      if (ResponseOf(choice.answer) == *response) return choice.answer;
    }
    return MessageBoxClosedAnswer(type_);
  }

 private:
  std::optional<Glyph> glyph_;
  GtkWidget* dialog_;
  UINT type_;
  std::optional<ShownDialog> shown_;
};

}  // namespace

std::unique_ptr<NativeMessageBox> OpenGtkMessageBox(NativeWindow* owner, const std::string& text,
                                                    const std::string& caption, UINT type, const CRect& anchor,
                                                    const CRect& workArea) {
  UseStyle();
  // Not modal in GTK's sense: that would hold every window of the program, where only the owner
  // is disabled (by the caller).
  GtkWidget* dialog = gtk_dialog_new();
  if (!dialog) return nullptr;
  GtkWindow* window = GTK_WINDOW(dialog);
  gtk_window_set_title(window, caption.c_str());
  if (GtkWindow* parent = ParentOf(owner)) gtk_window_set_transient_for(window, parent);
  gtk_window_set_destroy_with_parent(window, TRUE);
  gtk_window_set_decorated(window, FALSE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_widget_set_size_request(dialog, kMinWidth, -1);
  AddClass(dialog, "vymera-box");
  auto box = std::make_unique<GtkMessageBox>(dialog, type, GlyphOf(type));
  box->Fill(text, caption);
  box->Show(anchor, workArea);
  return box;
}

}  // namespace toolkit
