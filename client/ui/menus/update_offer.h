#pragma once
// The update step of the client's start-up, before the main window exists: ask the service, and
// when it offers a newer release ask the user, and on a yes hand over to the updater and end.

#include <functional>
#include <string>

#include "client/core/update/update_check.h"
#include "client/core/version/version.h"

// Runs the step with ownVersion as the client's version. When the updater started, exitProgram
// runs (it ends the process with 0; should it return, so does this). When it could not be started,
// the message "未知错误，未能启动升级软件" (caption "软件升级") stands until it is answered, and
// start-up goes on. A failed check, no offer or a no shows nothing. The offer made, or an empty
// one.
UpdateOffer OfferUpdate(ApiClient& api, const std::string& programFolder, const std::function<void()>& exitProgram,
                        const std::string& ownVersion = ProgramVersion());
