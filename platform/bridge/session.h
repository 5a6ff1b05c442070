#pragma once
// The way of a program to vymera-sim: questions asked on one control connection, made when first
// needed and made again after the simulator went away. A simulator that is not running is found out
// at once; one that does not answer within answerMs is left alone for quietMs, so that a stopped
// simulator costs the caller's thread one time-out now and then, never one per question.

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/bridge/connection.h"
#include "platform/bridge/messages.h"

namespace platform::bridge {

struct SessionTiming {
  int answerMs = 250;
  int quietMs = 5000;
};

class Session {
 public:
  explicit Session(std::string socketPath, SessionTiming timing = {});

  // The reply to request as message R; nothing when there is no simulator, it did not answer in
  // time, or it answered with anything but an R (the connection is then dropped). Thread-safe.
  template <class R, class M>
  std::optional<R> Ask(const M& request) {
    std::optional<Frame> reply = AskFrame(ToFrame(request));
    if (!reply) return std::nullopt;
    std::optional<R> answer = FromFrame<R>(*reply);
    if (!answer) Drop();
    return answer;
  }

  // Exchanges request on a connection of its own, which the caller keeps when the reply arrives;
  // null and no reply otherwise.
  std::unique_ptr<Connection> Dedicated(const Frame& request, Frame& reply);

  const std::string& SocketPath() const { return path_; }
  const SessionTiming& Timing() const { return timing_; }

 private:
  std::optional<Frame> AskFrame(const Frame& request);
  void Drop();
  // Locked: false while the simulator is left alone.
  bool MayAskLocked() const;
  void NoteResultLocked(IoStatus status);

  std::mutex mutex_;
  std::string path_;
  SessionTiming timing_;
  std::unique_ptr<Connection> control_;
  Clock::time_point quietUntil_{};
};

}  // namespace platform::bridge
