#pragma once
// Opening a web page in the user's browser.

#include <string>

namespace platform {

// Hands url to the desktop's opener (xdg-open) and returns at once; false when it could not be
// started. The browser decides the window size; there is no "maximised" request on this desktop.
bool OpenUrl(const std::string& url);

}  // namespace platform
