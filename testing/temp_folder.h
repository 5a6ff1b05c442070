#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <random>
#include <string>

namespace testing_support {

class TempFolder {
 public:
  TempFolder() {
    // A new name each time: create_directory reports whether it made the folder, so two tests never
    // share one, whichever process they run in.
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate = base / ("vymera-test-" + std::to_string(random() % 1000000000000ULL));
      std::error_code ec;
      if (std::filesystem::create_directory(candidate, ec) && !ec) {
        std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, ec);
        path_ = candidate.generic_string();
      }
    }
  }
  ~TempFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace testing_support
