#pragma once
// A GTK dialog on the screen and the response it got, read by the toolkit's loop that waits for it.

#include <gtk/gtk.h>

#include <optional>

#include "toolkit/backend/gtk/gtk_window.h"

namespace toolkit {

// The GTK window of a dialog's owner; null without one.
inline GtkWindow* ParentOf(NativeWindow* owner) {
  auto* w = dynamic_cast<GtkNativeWindow*>(owner);
  return w ? GTK_WINDOW(w->Widget()) : nullptr;
}

// A dialog on the screen and the response it got. A dialog destroyed from elsewhere counts as
// closed.
class ShownDialog {
 public:
  explicit ShownDialog(GtkWidget* dialog) : dialog_(dialog) {
    g_signal_connect(dialog_, "response", G_CALLBACK(+[](GtkDialog*, gint response, gpointer self) {
                       auto* me = static_cast<ShownDialog*>(self);
                       if (!me->response_) me->response_ = response;
                     }),
                     this);
    g_signal_connect(dialog_, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                       auto* me = static_cast<ShownDialog*>(self);
                       me->dialog_ = nullptr;
                       if (!me->response_) me->response_ = GTK_RESPONSE_DELETE_EVENT;
                     }),
                     this);
    gtk_window_set_keep_above(GTK_WINDOW(dialog_), TRUE);
    gtk_window_present(GTK_WINDOW(dialog_));
  }
  ~ShownDialog() {
    if (!dialog_) return;
    g_signal_handlers_disconnect_by_data(dialog_, this);
    gtk_widget_destroy(dialog_);
  }
  ShownDialog(const ShownDialog&) = delete;
  ShownDialog& operator=(const ShownDialog&) = delete;

  std::optional<int> Response() const { return response_; }
  GtkWidget* Widget() const { return dialog_; }

 private:
  GtkWidget* dialog_;
  std::optional<int> response_;
};

}  // namespace toolkit
