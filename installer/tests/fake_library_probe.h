#pragma once
// A loader answer from a list of missing libraries, recording what was asked.

#include <set>
#include <string>
#include <vector>

#include "installer/runtime_check.h"

namespace installer_testing {

class FakeLibraryProbe : public LibraryProbe {
 public:
  explicit FakeLibraryProbe(std::set<std::string> missing = {}) : missing_(std::move(missing)) {}
  bool Present(const std::string& soname) const override {
    asked.push_back(soname);
    return !missing_.count(soname);
  }
  mutable std::vector<std::string> asked;

 private:
  std::set<std::string> missing_;
};

}  // namespace installer_testing
