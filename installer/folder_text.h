#pragma once
// The program folder as the user typed it: "~" stands for the home folder, anything else must be
// an absolute path, since a relative one would land wherever Setup happened to be started.

#include <optional>
#include <string>

// The folder the text names; nothing when it is not an absolute path (after "~").
std::optional<std::string> FolderFromText(const std::string& text);

// The folder offered at start-up: the user's data folder + "Vymera"; empty when there is no home.
std::string DefaultProgramFolder();
