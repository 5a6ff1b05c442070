// The folder picker as a GTK dialog without a loop of its own: the response is kept until the
// toolkit's loop, which waits for it, reads it.
#include <gtk/gtk.h>

#include "toolkit/backend/gtk/gtk_desktop.h"
#include "toolkit/backend/gtk/gtk_shown_dialog.h"
#include "toolkit/render/gfx_holders.h"

namespace toolkit {
namespace {

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
      if (GCharHolder path{gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(shown_.Widget()))}) folder = path.get();
    }
    answer_ = folder;
    return answer_;
  }

 private:
  ShownDialog shown_;
  std::optional<std::optional<std::string>> answer_;
};

}  // namespace

std::unique_ptr<NativeFolderPicker> OpenGtkFolderPicker(NativeWindow* owner, const std::string& title) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), ParentOf(owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                                  "取消", GTK_RESPONSE_CANCEL, "确定", GTK_RESPONSE_ACCEPT, nullptr);
  if (!dialog) return nullptr;
  gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  return std::make_unique<GtkFolderPicker>(dialog);
}

}  // namespace toolkit
