#pragma once
// The client's own window messages and menu commands, between its threads and its windows.

#include <array>

#include "platform/message_numbers.h"

namespace client_messages {

using platform::kMsgAppBase;

// The tray icon's events: wParam the icon id, lParam the mouse message.
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

// Commands (the wParam of WM_COMMAND): the tray menu's items.
inline constexpr unsigned kCmdShowMainWindow = 40003;
inline constexpr unsigned kCmdQuit = 40004;

static_assert(platform::OwnMessagesFit(std::array{kMsgTrayCallback, kMsgScaleFrame, kMsgLiveWeight, kMsgUserMenuChoice,
                                                  kMsgItemUploaded, kMsgPassFinished, kMsgPassFailed,
                                                  kMsgSystemMenuChoice}),
              "a client message shares a number, or lies among the system's");
static_assert(platform::OwnCommandsFit(std::array{kCmdShowMainWindow, kCmdQuit}), "two commands share an id");

}  // namespace client_messages
