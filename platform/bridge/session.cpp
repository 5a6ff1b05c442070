#include "platform/bridge/session.h"

namespace platform::bridge {

Session::Session(std::string socketPath, SessionTiming timing) : path_(std::move(socketPath)), timing_(timing) {}

bool Session::MayAskLocked() const { return Clock::now() >= quietUntil_; }

void Session::NoteResultLocked(IoStatus status) {
  if (status == IoStatus::TimedOut) quietUntil_ = Clock::now() + std::chrono::milliseconds(timing_.quietMs);
}

std::optional<Frame> Session::AskFrame(const Frame& request) {
  std::lock_guard lock(mutex_);
  if (!MayAskLocked()) return std::nullopt;
  // A control connection left from an earlier question may have been closed by a simulator that
  // has since been restarted; one fresh attempt tells that apart from a simulator that is gone.
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool fresh = !control_;
    if (fresh) control_ = Connection::Connect(path_);
    if (!control_) return std::nullopt;
    Frame reply;
    IoStatus status = control_->Exchange(request, reply, After(timing_.answerMs));
    if (status == IoStatus::Ok) return reply;
    control_.reset();
    NoteResultLocked(status);
    if (fresh || status == IoStatus::TimedOut) return std::nullopt;
  }
  return std::nullopt;
}

void Session::Drop() {
  std::lock_guard lock(mutex_);
  control_.reset();
}

std::unique_ptr<Connection> Session::Dedicated(const Frame& request, Frame& reply) {
  {
    std::lock_guard lock(mutex_);
    if (!MayAskLocked()) return nullptr;
  }
  std::unique_ptr<Connection> connection = Connection::Connect(path_);
  if (!connection) return nullptr;
  IoStatus status = connection->Exchange(request, reply, After(timing_.answerMs));
  if (status == IoStatus::Ok) return connection;
  std::lock_guard lock(mutex_);
  NoteResultLocked(status);
  return nullptr;
}

}  // namespace platform::bridge
