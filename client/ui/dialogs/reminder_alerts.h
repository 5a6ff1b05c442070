#pragma once
// The reminder poll as the main window runs it: every logged-in user is asked for new reminders,
// a refused login is told in a message box over the main window, and each user with reminders
// raises an alert, stacked one above the other in the order they came.
//
// The main window drives it from its timer ReminderSchedule::kTimerId (every
// ReminderSchedule::kTickMs) through its ReminderSchedule:
//   schedule.Tick(core.settings.TixingTime, core.engine.Running(),
//                 [&] { PollReminders(context, [&](int n) { /* "用户提醒" := ReminderLabelText(n) */ }); });

#include <functional>

#include "client/core/reminders/reminder_reply.h"
#include "client/core/reminders/reminder_schedule.h"
#include "client/ui/client_context.h"

// One round over all users. setReminderText (may be empty) hears the count of each user with
// reminders, for the main window's "用户提醒" text. Returns the number of alerts raised.
int PollReminders(ClientContext& context, const std::function<void(int count)>& setReminderText);
