#pragma once
// The updater's own window messages.

#include <array>

#include "platform/message_numbers.h"

namespace updater_messages {

// The download thread to its window: the saved release could not be started.
inline constexpr unsigned kMsgUpdaterStartFailed = platform::kMsgAppBase + 20;

static_assert(platform::OwnMessagesFit(std::array{kMsgUpdaterStartFailed}),
              "an updater message shares a number, or lies among the system's");

}  // namespace updater_messages
