#pragma once
// The window message numbers every program shares: where the programs' own messages start, the
// numbers the lower floors use in every program's windows (the toolkit's own, the HTTP client's
// progress), and the compile-time check each program runs over its own list, so that no two
// meanings reaching the same windows share a number. A program's own messages live with the
// program (client_messages.h, updater_messages.h, installer_messages.h) and are checked there.

#include <array>
#include <cstddef>

namespace platform {

// Where the programs' own messages start (WM_USER, WM_APP), and the system's end.
inline constexpr unsigned kMsgUserBase = 0x0400;
inline constexpr unsigned kMsgAppBase = 0x8000;

// The HTTP client's progress to a window (the updater's download): wParam bytes so far, lParam
// the Content-Length or 0.
inline constexpr unsigned kMsgHttpProgress = 0x4C46;

// The toolkit's own, in the range a window class keeps for itself: a window's set-up has
// returned, so its "windowinit" notification can go out.
inline constexpr unsigned kMsgWindowInit = 0x7FF0;

namespace message_numbers_check {

inline constexpr std::array kShared{kMsgHttpProgress, kMsgWindowInit};

template <std::size_t N>
constexpr bool AllDistinct(const std::array<unsigned, N>& numbers) {
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) {
      if (numbers[i] == numbers[j]) return false;
    }
  }
  return true;
}

template <std::size_t N>
constexpr bool AllAbove(const std::array<unsigned, N>& numbers, unsigned floor) {
  for (unsigned n : numbers) {
    if (n < floor) return false;
  }
  return true;
}

template <std::size_t N>
constexpr bool NoneShared(const std::array<unsigned, N>& numbers) {
  for (unsigned n : numbers) {
    for (unsigned shared : kShared) {
      if (n == shared) return false;
    }
  }
  return true;
}

static_assert(AllDistinct(kShared), "two shared messages share a number");
static_assert(AllAbove(kShared, kMsgUserBase), "a shared message lies among the system's");

}  // namespace message_numbers_check

// A program's own messages, checked where they are defined:
//   static_assert(platform::OwnMessagesFit(kMessages));
template <std::size_t N>
constexpr bool OwnMessagesFit(const std::array<unsigned, N>& messages) {
  using namespace message_numbers_check;
  return AllDistinct(messages) && AllAbove(messages, kMsgUserBase) && NoneShared(messages);
}

// A program's command ids (the wParam of WM_COMMAND), a number space of their own.
template <std::size_t N>
constexpr bool OwnCommandsFit(const std::array<unsigned, N>& commands) {
  return message_numbers_check::AllDistinct(commands);
}

}  // namespace platform
