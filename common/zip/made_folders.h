#pragma once
// The folders below a base folder that one unpacking has made or entered, each held open by its
// path. A folder known already costs nothing for the next item in it: its parents are neither made
// again nor walked again for every file, and a new folder below it is made from the held one.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/unique_fd.h"

namespace zip {

class MadeFolders {
 public:
  // The most folders held at once; beyond it the ones held are let go and found again as needed.
  static constexpr std::size_t kMaxHeld = 64;

  // The folder (a relative path with "/" separators, no "..") below the folder open as baseFd,
  // made with each missing parent first; baseFd itself for an empty path. No link is followed on
  // the way: a component that is a link, or not a folder, gives -1. The descriptor stays valid
  // until the next call or Clear.
  int Open(int baseFd, std::string_view folder);

  // Lets every held folder go (the base folder changed, or the archive was closed).
  void Clear() { held_.clear(); }

 private:
  std::unordered_map<std::string, platform::UniqueFd> held_;
};

}  // namespace zip
