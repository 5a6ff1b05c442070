#pragma once
// Runs a test under a locale whose decimal separator is a comma, as a German desktop sets it for the
// whole process, and puts the previous C and C++ locales back afterwards. scripts/setup generates
// the locale; where it cannot be created the test says so and skips:
//
//   CommaLocale comma;
//   if (!comma.Active()) GTEST_SKIP() << comma.Missing();

#include <clocale>
#include <locale.h>

#include <locale>
#include <string>

namespace testing_support {

class CommaLocale {
 public:
  static constexpr const char* kName = "de_DE.UTF-8";

  CommaLocale() : previousGlobal_(std::locale()) {
    const char* before = std::setlocale(LC_ALL, nullptr);
    previous_ = before ? before : "C";
    // Probe first: std::locale reports a missing locale by throwing.
    locale_t probe = newlocale(LC_ALL_MASK, kName, static_cast<locale_t>(0));
    if (!probe) return;
    freelocale(probe);
    std::locale::global(std::locale(kName));
    active_ = std::setlocale(LC_ALL, kName) != nullptr && std::localeconv()->decimal_point[0] == ',';
  }
  ~CommaLocale() {
    std::locale::global(previousGlobal_);
    std::setlocale(LC_ALL, previous_.c_str());
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const { return active_; }
  std::string Missing() const {
    return std::string("the locale ") + kName + " is not available here (scripts/setup generates it)";
  }

 private:
  std::locale previousGlobal_;
  std::string previous_;
  bool active_ = false;
};

}  // namespace testing_support
