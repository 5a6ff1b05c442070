#pragma once
// Runs a test under a locale whose decimal separator is a comma, as a German desktop sets it for the
// whole process, and puts the previous C and C++ locales back afterwards. scripts/setup generates
// the locale; where it cannot be created the test says so and skips:
//
//   CommaLocale comma;
//   if (!comma.Active()) GTEST_SKIP() << comma.Missing();

#include <clocale>
#ifndef _WIN32
#include <locale.h>
#endif

#include <locale>
#include <string>

namespace testing_support {

class CommaLocale {
 public:
#ifdef _WIN32
  // The C runtime's name; its C++ library knows only the "C" locale, so the C locale is what changes.
  static constexpr const char* kName = "German_Germany.1252";
#else
  static constexpr const char* kName = "de_DE.UTF-8";
#endif

  CommaLocale() : previousGlobal_(std::locale()) {
    const char* before = std::setlocale(LC_ALL, nullptr);
    previous_ = before ? before : "C";
#ifndef _WIN32
    // Probe first: std::locale reports a missing locale by throwing.
    locale_t probe = newlocale(LC_ALL_MASK, kName, static_cast<locale_t>(0));
    if (!probe) return;
    freelocale(probe);
    std::locale::global(std::locale(kName));
#endif
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
