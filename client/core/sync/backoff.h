#pragma once
// Backoff: when to try again after a failure, so that a service that is down is not asked every few
// seconds: 5 s after the first failure, then 30 s, 2 min, and every 10 min from then on, until a
// success starts the sequence anew. Times are the wall clock's seconds; a clock set back makes the
// next try due at once rather than hours late.

#include <array>
#include <ctime>

class Backoff {
 public:
  static constexpr std::array<int, 4> kDelaysSeconds{5, 30, 120, 600};

  // True when no failure waits out its delay at now.
  bool Due(std::time_t now) const { return failures_ == 0 || now >= next_ || now < last_; }
  // True after a failure that no success has followed.
  bool Failing() const { return failures_ > 0; }
  void Failed(std::time_t now);
  void Succeeded() { failures_ = 0; }

 private:
  int failures_ = 0;
  std::time_t last_ = 0;
  std::time_t next_ = 0;
};
