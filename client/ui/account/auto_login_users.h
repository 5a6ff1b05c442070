#pragma once
// The silent login of the users who asked for it, run by the main window once the connection
// probe found the service.

#include "client/ui/client_context.h"

// Logs in every user with automatic login who is not logged in yet (the records are not stored).
// A refusal is told in a system message box over the main window, captioned "登录错误"; a user
// the sync pass holds just now is left for the next time. Returns how many logged in.
int AutoLoginUsers(ClientContext& context);
