#pragma once
// Removing a folder with everything in it, as the removal program does for the skins and the menu
// group. Links are never followed: a link inside the tree is removed as a link, its target stays.

#include <string>

// Removes every entry of the folder at path, then the folder itself. Sub-folders whose names begin
// with "." are skipped, so a folder holding one stays (false). Stops at the first entry that cannot
// be removed and returns false, the remaining entries staying. A path that is no folder (a link to
// one included) or cannot be listed returns false. Deeper than kMaxFolderDepth levels counts as
// not removable.
bool RemoveFolderTree(const std::string& path);

inline constexpr int kMaxFolderDepth = 64;

// Removes what stands at path without following a link: a folder with RemoveFolderTree, anything
// else (a file, a link) by its name. True when nothing stands there afterwards.
bool RemoveEntry(const std::string& path);
