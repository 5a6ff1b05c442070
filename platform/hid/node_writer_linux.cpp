#include "platform/hid/node_writer.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

Deadline DeadlineAfter(int timeoutMs) {
  if (timeoutMs < 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

// Milliseconds left for poll: -1 without a deadline, 0 once it passed.
int PollMsLeft(const Deadline& deadline) {
  if (!deadline) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

bool Signalled(int eventFd) {
  pollfd p{eventFd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

void Drain(int eventFd) {
  uint64_t count = 0;
  while (read(eventFd, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) {
  }
}

void Signal(int eventFd) {
  uint64_t one = 1;
  ssize_t written = write(eventFd, &one, sizeof one);
  (void)written;  // only fails when the counter is already at its maximum, which wakes all the same
}

}  // namespace

void HidNodeShared::Cancel() const { Signal(cancelled.get()); }

bool HidNodeShared::Cancelled() const { return Signalled(cancelled.get()); }

struct NodeWriter::State {
  enum class Stage { Idle, Queued, Busy, Done };

  explicit State(std::shared_ptr<HidNodeShared> s)
      : shared(std::move(s)), wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

  void Run();
  HidTransfer Perform(const std::vector<uint8_t>& report, const Deadline& deadline);
  // With the lock held: the caller no longer waits for the job of the thread.
  bool GivenUp() const { return abandoned || stopping; }

  std::shared_ptr<HidNodeShared> shared;
  UniqueFd wake;  // an eventfd: a write given up on, or shutdown
  std::mutex mutex;
  std::condition_variable changed;
  Stage stage = Stage::Idle;
  bool inKernel = false;  // inside write(2), where nothing can wake the thread
  std::vector<uint8_t> report;
  Deadline deadline;
  HidTransfer result;
  bool abandoned = false;
  bool stopping = false;
};

void NodeWriter::State::Run() {
  // A node standing in for a device may be a socket; a write to one whose peer is gone must fail,
  // not end the process.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

  std::unique_lock lock(mutex);
  for (;;) {
    changed.wait(lock, [&] { return stopping || stage == Stage::Queued; });
    if (stopping) return;
    stage = Stage::Busy;
    std::vector<uint8_t> job = std::move(report);
    Deadline until = deadline;
    lock.unlock();
    Drain(wake.get());
    HidTransfer done = Perform(job, until);
    lock.lock();
    if (abandoned) {
      abandoned = false;
      stage = Stage::Idle;
    } else {
      result = done;
      stage = Stage::Done;
    }
    changed.notify_all();
  }
}

HidTransfer NodeWriter::State::Perform(const std::vector<uint8_t>& job, const Deadline& until) {
  int node = shared->node.get();
  for (;;) {
    // Checked before every wait: a wake-up drained just before this job must not be lost.
    {
      std::lock_guard lock(mutex);
      if (GivenUp()) return {HidStatus::TimedOut, 0};
    }
    pollfd waits[3] = {{node, POLLOUT, 0}, {shared->cancelled.get(), POLLIN, 0}, {wake.get(), POLLIN, 0}};
    int ready = poll(waits, 3, PollMsLeft(until));
    if (ready < 0 && errno != EINTR) return {HidStatus::Failed, 0};
    if (waits[1].revents) return {HidStatus::Cancelled, 0};
    if (ready == 0) {
      if (until && Clock::now() >= *until) return {HidStatus::TimedOut, 0};
      continue;
    }
    if (waits[2].revents) {
      Drain(wake.get());
      continue;
    }
    if (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return {HidStatus::Failed, 0};
    if (!(waits[0].revents & POLLOUT)) continue;
    {
      std::lock_guard lock(mutex);
      if (GivenUp()) return {HidStatus::TimedOut, 0};
      inKernel = true;
    }
    ssize_t n = write(node, job.data(), job.size());
    int error = errno;
    {
      std::lock_guard lock(mutex);
      inKernel = false;
    }
    if (n >= 0) return {HidStatus::Ok, static_cast<size_t>(n)};
    if (error != EINTR && error != EAGAIN) return {HidStatus::Failed, 0};
  }
}

NodeWriter::NodeWriter(std::shared_ptr<HidNodeShared> shared) : state_(std::make_shared<State>(std::move(shared))) {}

NodeWriter::~NodeWriter() {
  if (!thread_.joinable()) return;
  bool stuck = false;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    stuck = state_->inKernel;
  }
  state_->changed.notify_all();
  Signal(state_->wake.get());
  // The thread holds the state, and with it the node, until its write returns.
  if (stuck) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

HidTransfer NodeWriter::Write(std::span<const uint8_t> report, int timeoutMs) {
  if (state_->shared->Cancelled()) return {HidStatus::Cancelled, 0};
  if (report.empty() || !state_->wake) return {HidStatus::Failed, 0};
  Deadline until = DeadlineAfter(timeoutMs);
  auto waitUntil = [&](std::unique_lock<std::mutex>& lock, auto ready) {
    if (!until) {
      state_->changed.wait(lock, ready);
      return true;
    }
    return state_->changed.wait_until(lock, *until, ready);
  };

  std::unique_lock lock(state_->mutex);
  if (!thread_.joinable()) {
    thread_ = std::thread([state = state_] { state->Run(); });
  }
  using Stage = State::Stage;
  // A write given up on earlier may still be in the kernel: this one waits its turn, within its time.
  if (!waitUntil(lock, [&] { return state_->stage == Stage::Idle; })) return {HidStatus::TimedOut, 0};
  state_->report.assign(report.begin(), report.end());
  state_->deadline = until;
  state_->stage = Stage::Queued;
  state_->changed.notify_all();
  if (waitUntil(lock, [&] { return state_->stage == Stage::Done; })) {
    state_->stage = Stage::Idle;
    return state_->result;
  }
  if (state_->stage == Stage::Queued) {
    state_->stage = Stage::Idle;
  } else {
    state_->abandoned = true;
    Signal(state_->wake.get());
  }
  return {HidStatus::TimedOut, 0};
}

}  // namespace platform
