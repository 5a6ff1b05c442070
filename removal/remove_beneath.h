#pragma once
// The removal's one file step that each system does its own way: a recorded path removed beneath
// the folder it was recorded under, never through a link.

#include <string>

enum class Gone { Removed, Missing, Failed };

// Removes relative (plain components, "/" separators) below root without following a link on the
// way: a path that no longer leads through real folders is not the recorded one and stays. A folder
// goes only when it is empty; a file is removed by its name, and a folder where a file was recorded
// stays. A file the system will not let go (on Windows a running program's) is Failed.
Gone RemoveBeneath(const std::string& root, const std::string& relative, bool folder);

// Removes the system-wide device rule at the absolute path.
Gone RemoveRule(const std::string& path);
