#pragma once
// The installer's own window messages.

#include <array>

#include "platform/message_numbers.h"

namespace installer_messages {

// The worker to its window: a step done (wParam the step, 1..7; lParam 7), and the end of the
// installation (wParam 0 when it went through, 1 when it failed; lParam 0).
inline constexpr unsigned kMsgInstallProgress = platform::kMsgAppBase + 25;
inline constexpr unsigned kMsgInstallFinished = platform::kMsgAppBase + 26;

static_assert(platform::OwnMessagesFit(std::array{kMsgInstallProgress, kMsgInstallFinished}),
              "an installer message shares a number, or lies among the system's");

}  // namespace installer_messages
