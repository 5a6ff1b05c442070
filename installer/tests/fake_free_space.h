#pragma once
// A volume answer from a table, recording which folders were asked.

#include <map>
#include <string>
#include <vector>

#include "installer/free_space.h"

namespace installer_testing {

class FakeFreeSpace : public FreeSpaceSource {
 public:
  // Every folder answers bytes unless set otherwise.
  explicit FakeFreeSpace(uint64_t bytes = uint64_t{40} << 30) : bytes_(bytes) {}
  void Set(const std::string& folder, std::optional<uint64_t> bytes) { answers_[folder] = bytes; }
  std::optional<uint64_t> FreeBytes(const std::string& folder) const override {
    asked.push_back(folder);
    auto it = answers_.find(folder);
    return it == answers_.end() ? std::optional<uint64_t>(bytes_) : it->second;
  }
  mutable std::vector<std::string> asked;

 private:
  uint64_t bytes_;
  std::map<std::string, std::optional<uint64_t>> answers_;
};

inline constexpr const char* kFortyGigabytes = "所需空间： 3.5M   可用空间：40.0G";
inline constexpr const char* kNoFreeSpace = "所需空间： 3.5M   可用空间：无法获取可用空间，请您检查路径！";

}  // namespace installer_testing
