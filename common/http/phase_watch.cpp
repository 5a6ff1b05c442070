#include "common/http/phase_watch.h"

namespace http {

PhaseWatch::PhaseWatch(const HttpTimeouts& timeouts, Clock::time_point now) : timeouts_(timeouts), since_(now) {}

void PhaseWatch::Enter(Phase phase, Clock::time_point now) {
  phase_ = phase;
  since_ = now;
}

void PhaseWatch::Activity(Clock::time_point now) {
  if (phase_ == Phase::Sending || phase_ == Phase::Receiving) since_ = now;
}

std::optional<long long> PhaseWatch::Remaining(Clock::time_point now) const {
  int limit = 0;
  switch (phase_) {
    case Phase::Resolving: limit = timeouts_.resolve; break;
    case Phase::Connecting: limit = timeouts_.connect; break;
    case Phase::Sending: limit = timeouts_.send; break;
    case Phase::AwaitingHeaders:
    case Phase::Receiving: limit = timeouts_.receive; break;
  }
  if (limit <= 0) return std::nullopt;
  long long spent = std::chrono::duration_cast<std::chrono::milliseconds>(now - since_).count();
  return spent >= limit ? 0 : limit - spent;
}

}  // namespace http
