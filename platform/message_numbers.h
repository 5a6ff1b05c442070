#pragma once
// Every window message number the programs post or send to each other, the toolkit's own private
// ones, and the menu command ids, kept in one place so that no two meanings share a number: the
// lists at the end are checked at compile time. A new message gets its number here.

#include <array>
#include <cstddef>

namespace platform {

// Where the programs' own messages start (WM_USER, WM_APP), and the system's end.
inline constexpr unsigned kMsgUserBase = 0x0400;
inline constexpr unsigned kMsgAppBase = 0x8000;

// The client's windows. The tray icon's events: wParam the icon id, lParam the mouse message.
inline constexpr unsigned kMsgTrayCallback = kMsgAppBase + 10;
// A frame from the scale reader thread, wParam 33.
inline constexpr unsigned kMsgScaleFrame = kMsgAppBase + 11;
// The live weight to the open scale settings dialog, lParam the float's bits.
inline constexpr unsigned kMsgLiveWeight = kMsgAppBase + 12;
// The user menu's choice: wParam 1 log in, 2 log out, 3 clear the account; lParam the user index.
inline constexpr unsigned kMsgUserMenuChoice = kMsgAppBase + 13;
// The sync pass to its progress dialog: one item went up, the pass finished, the pass failed.
inline constexpr unsigned kMsgItemUploaded = kMsgAppBase + 14;
inline constexpr unsigned kMsgPassFinished = kMsgAppBase + 15;
inline constexpr unsigned kMsgPassFailed = kMsgAppBase + 16;
// The system drop-down's choice: wParam 1 settings, 2 about, 3 quit.
inline constexpr unsigned kMsgSystemMenuChoice = 10045;

// The HTTP client's progress to a window (the updater's download): wParam bytes so far, lParam
// the Content-Length or 0.
inline constexpr unsigned kMsgHttpProgress = 0x4C46;

// The updater's download thread to its window: the saved release could not be started.
inline constexpr unsigned kMsgUpdaterStartFailed = kMsgAppBase + 20;

// The installer's worker to its window: a step done (wParam the step, 1..7; lParam 7), and the
// end of the installation (wParam 0 when it went through, 1 when it failed; lParam 0).
inline constexpr unsigned kMsgInstallProgress = kMsgAppBase + 25;
inline constexpr unsigned kMsgInstallFinished = kMsgAppBase + 26;

// The toolkit's own, in the range a window class keeps for itself: a window's set-up has
// returned, so its "windowinit" notification can go out.
inline constexpr unsigned kMsgWindowInit = 0x7FF0;

// Commands (the wParam of WM_COMMAND), a number space of their own: the tray menu's items.
inline constexpr unsigned kCmdShowMainWindow = 40003;
inline constexpr unsigned kCmdQuit = 40004;

namespace message_numbers_check {

inline constexpr std::array kMessages{
    kMsgTrayCallback,    kMsgScaleFrame,      kMsgLiveWeight,       kMsgUserMenuChoice, kMsgItemUploaded,
    kMsgPassFinished,    kMsgPassFailed,      kMsgSystemMenuChoice, kMsgHttpProgress,   kMsgUpdaterStartFailed,
    kMsgInstallProgress, kMsgInstallFinished, kMsgWindowInit};
inline constexpr std::array kCommands{kCmdShowMainWindow, kCmdQuit};

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

static_assert(AllDistinct(kMessages), "two messages share a number");
static_assert(AllAbove(kMessages, kMsgUserBase), "a message of ours lies among the system's");
static_assert(AllDistinct(kCommands), "two commands share an id");

}  // namespace message_numbers_check
}  // namespace platform
