#pragma once
// Starting another program of the family: detached, so it outlives the program that started it.

#include <string>

namespace platform {

// Starts the executable at path with no arguments and folder as its current folder, in a session
// of its own. False when it could not be started (missing, not executable, not a program); the
// started program is not waited for.
bool StartProgram(const std::string& path, const std::string& folder);

}  // namespace platform
