#pragma once
// What the installer tests share: a temporary home with its XDG folders (and an empty desktop), the
// places the installation reaches there, and reading back what landed.

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "installer/installation.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

namespace installer_testing {

// Sets environment variables for a test's length and puts the old values back.
class Environment {
 public:
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }
  void Set(const std::string& name, const std::string& value) {
    Save(name);
    setenv(name.c_str(), value.c_str(), 1);
  }
  void Unset(const std::string& name) {
    Save(name);
    unsetenv(name.c_str());
  }

 private:
  void Save(const std::string& name) {
    if (saved_.count(name)) return;
    const char* value = std::getenv(name.c_str());
    saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

class TempHome {
 public:
  TempHome() {
    env_.Set("HOME", home());
    env_.Unset("XDG_DATA_HOME");
    env_.Unset("XDG_CONFIG_HOME");
    env_.Unset("XDG_DESKTOP_DIR");
    env_.Set("XDG_RUNTIME_DIR", folder_.File("runtime"));
    ::mkdir(folder_.File("runtime").c_str(), 0700);
    ::mkdir(Desktop().c_str(), 0755);
    ::mkdir(folder_.File("rules").c_str(), 0755);
  }

  std::string home() const { return folder_.path(); }
  std::string File(const std::string& name) const { return folder_.File(name); }
  std::string Desktop() const { return File("Desktop"); }
  std::string Data() const { return File(".local/share"); }
  std::string Config() const { return File(".config"); }
  std::string ProgramFolder() const { return File(".local/share/Vymera"); }
  std::string Applications() const { return File(".local/share/applications"); }
  std::string SystemRules() const { return File("rules"); }
  std::string Registry() const { return File("runtime/vymera-windows"); }

  // The user's places, with the system's rule folder inside the temporary home.
  InstallPlaces Places() const {
    InstallPlaces places = InstallPlaces::ForUser();
    places.systemRules = SystemRules();
    return places;
  }

 private:
  testing_support::TempFolder folder_;
  Environment env_;
};

inline std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<missing>"); }

// The permission bits, or -1 when nothing is there.
inline int Mode(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

}  // namespace installer_testing
