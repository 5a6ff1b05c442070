#include "client/ui/hardware/binding_feedback.h"

#include "client/ui/dialogs/message_box_wnd.h"
#include "toolkit/desktop/desktop.h"

void ShowBindingNotice(HWND owner, const BindingNotice& notice) {
  switch (notice.kind) {
    case BindingNotice::Kind::None:
      break;
    case BindingNotice::Kind::Message:
      ShowClientMessage(owner, notice.text);
      break;
    case BindingNotice::Kind::Box:
      toolkit::ShowMessageBox(owner, CStdString(notice.text), CStdString(notice.caption), MB_OK | MB_ICONERROR);
      break;
  }
}

DeviceBinding BindingOf(ClientContext& context) {
  return DeviceBinding(context.core.api, context.core.pedometer, context.core.kit);
}

bool UnbindDevice(ClientContext& context, size_t userIndex, DeviceKind kind) {
  DeviceBinding binding = BindingOf(context);
  UnbindStep step;
  UserChange change =
      context.core.changes.Edit(userIndex, [&](UserRecord& user) { step = binding.Unbind(kind, user); });
  if (!ChangeMade(context.mainWindow, change)) return false;
  // Stored at once, so the file never claims a device the service has let go.
  if (step.done) context.core.StoreUser(*context.core.users[userIndex]);
  ShowBindingNotice(context.mainWindow, step.notice);
  return step.done;
}
