#include "common/zip/made_folders.h"

#include <cerrno>

#include "common/zip/item_path.h"

namespace zip {

int MadeFolders::Open(int baseFd, std::string_view folder) {
  // Held folders are let go only here, before the walk, so none of those the walk uses goes away.
  if (held_.size() >= kMaxHeld) held_.clear();
  int at = baseFd;
  std::string path;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find('/', start);
    if (end == std::string_view::npos) end = folder.size();
    const std::string part(folder.substr(start, end - start));
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (!path.empty()) path += '/';
    path += part;
    auto found = held_.find(path);
    if (found != held_.end()) {
      at = found->second.get();
      continue;
    }
    // Entered first and made only when missing: most folders exist after their first item. Making
    // never follows a link in its last component, and the folder is entered only when it is a
    // folder itself.
    platform::UniqueFd entered = EnterFolder(at, part);
    if (!entered && errno == ENOENT && (MakeFolderAt(at, part) || errno == EEXIST)) {
      entered = EnterFolder(at, part);
    }
    if (!entered) return -1;
    at = entered.get();
    held_.emplace(path, std::move(entered));
  }
  return at;
}

}  // namespace zip
