// The message box and the folder picker as GTK dialogs without a loop of their own: the response
// is kept until the toolkit's loop, which waits for it, reads it.
#include <gtk/gtk.h>

#include "toolkit/gtk/gtk_desktop.h"
#include "toolkit/gtk/gtk_window.h"

namespace toolkit {
namespace {

GtkWindow* ParentOf(NativeWindow* owner) {
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

class GtkMessageBox : public NativeMessageBox {
 public:
  GtkMessageBox(GtkWidget* dialog, UINT type) : shown_(dialog), type_(type) {}

  std::optional<int> GetAnswer() override {
    std::optional<int> response = shown_.Response();
    if (!response) return std::nullopt;
    int answer = MessageBoxClosedAnswer(type_);
    if (*response == GTK_RESPONSE_OK) answer = IDOK;
    if (*response == GTK_RESPONSE_CANCEL) answer = IDCANCEL;
    if (*response == GTK_RESPONSE_YES) answer = IDYES;
    if (*response == GTK_RESPONSE_NO) answer = IDNO;
    return MessageBoxOffers(type_, answer) ? answer : MessageBoxClosedAnswer(type_);
  }

 private:
  ShownDialog shown_;
  UINT type_;
};

class GtkFolderPicker : public NativeFolderPicker {
 public:
  explicit GtkFolderPicker(GtkWidget* dialog) : shown_(dialog) {}

  std::optional<std::optional<std::string>> GetAnswer() override {
    if (answer_) return answer_;
    std::optional<int> response = shown_.Response();
    if (!response) return std::nullopt;
    std::optional<std::string> folder;
    // Folders without a path of their own (network places, recent files) count as none picked.
    if (*response == GTK_RESPONSE_ACCEPT && shown_.Widget()) {
      if (char* path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(shown_.Widget()))) {
        folder = path;
        g_free(path);
      }
    }
    answer_ = folder;
    return answer_;
  }

 private:
  ShownDialog shown_;
  std::optional<std::optional<std::string>> answer_;
};

struct BoxKind {
  GtkMessageType type;
  const char* icon;
};

BoxKind KindOf(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONERROR:
      return {GTK_MESSAGE_ERROR, "dialog-error"};
    case MB_ICONQUESTION:
      return {GTK_MESSAGE_QUESTION, "dialog-question"};
    case MB_ICONWARNING:
      return {GTK_MESSAGE_WARNING, "dialog-warning"};
    case MB_ICONINFORMATION:
      return {GTK_MESSAGE_INFO, "dialog-information"};
    default:
      return {GTK_MESSAGE_OTHER, nullptr};
  }
}

}  // namespace

std::unique_ptr<NativeMessageBox> OpenGtkMessageBox(NativeWindow* owner, const std::string& text,
                                                    const std::string& caption, UINT type) {
  GtkButtonsType buttons = GTK_BUTTONS_OK;
  if ((type & 0x0F) == MB_YESNO) buttons = GTK_BUTTONS_YES_NO;
  if ((type & 0x0F) == MB_OKCANCEL) buttons = GTK_BUTTONS_OK_CANCEL;
  // Not modal in GTK's sense: that would hold every window of the program, where only the owner
  // is disabled (by the caller).
  BoxKind kind = KindOf(type);
  GtkWidget* dialog =
      gtk_message_dialog_new(ParentOf(owner), GTK_DIALOG_DESTROY_WITH_PARENT, kind.type, buttons, "%s", text.c_str());
  if (!dialog) return nullptr;
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  if (kind.icon) {
    // The message type alone no longer draws an icon in GTK 3.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GtkWidget* image = gtk_image_new_from_icon_name(kind.icon, GTK_ICON_SIZE_DIALOG);
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), image);
    gtk_widget_show(image);
#pragma GCC diagnostic pop
  }
  return std::make_unique<GtkMessageBox>(dialog, type);
}

std::unique_ptr<NativeFolderPicker> OpenGtkFolderPicker(NativeWindow* owner, const std::string& title) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), ParentOf(owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                                  "取消", GTK_RESPONSE_CANCEL, "确定", GTK_RESPONSE_ACCEPT, nullptr);
  if (!dialog) return nullptr;
  gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  return std::make_unique<GtkFolderPicker>(dialog);
}

}  // namespace toolkit
