#pragma once
// What the failure page tells the user: what could not be made or written, where, and what to do.

#include <string>

#include "installer/installation.h"

// The text for a failed installation into folder; empty when result is not a failure the user
// has to be told of (success, or the user's own stop).
std::string InstallFailureText(const InstallResult& result, const std::string& folder);
