#include "toolkit/backend/headless/headless_backend.h"

namespace toolkit {

std::unique_ptr<NativeWindow> HeadlessBackend::CreateNativeWindow(WindowHost*, const WindowParams& params) {
  return std::make_unique<HeadlessWindow>(params);
}

void HeadlessBackend::DispatchReady() { PollFds(0); }

void HeadlessBackend::Wait(std::optional<int64_t> deadlineMs) {
  if (PollFds(0)) return;
  if (idle_ && idle_()) return;
  // A standing dialog's scripted answer comes due like a timer.
  if (auto answer = desktop_.NextAnswerDue(); answer && (!deadlineMs || *answer < *deadlineMs)) deadlineMs = answer;
  if (deadlineMs) {
    // Nothing else can happen before the next timer: let virtual time jump to it.
    if (*deadlineMs > now_) now_ = *deadlineMs;
    return;
  }
  PollFds(-1);
}

}  // namespace toolkit
