#include "client/ui/dialogs/reminder_alerts.h"

#include <string>

#include "client/core/reminders/reminder_poll.h"
#include "client/ui/dialogs/alert_dlg.h"
#include "toolkit/desktop/desktop.h"

int PollReminders(ClientContext& context, const std::function<void(int count)>& setReminderText) {
  HWND owner = context.mainWindow;
  ReminderPoll poll(context.core.api, context.core.users, context.core.changes,
                    [owner](std::string_view text, std::string_view caption) {
                      toolkit::ShowMessageBox(owner, CStdString(std::string(text)), CStdString(std::string(caption)),
                                              MB_OK | MB_ICONERROR);
                    });
  int slot = 0;
  return poll.PollAll([&](const UserRecord& user, int count) {
    if (setReminderText) setReminderText(count);
    RaiseAlert(context, "", &user, slot++, count);
  });
}
