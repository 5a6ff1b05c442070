#pragma once
// A loopback HTTP proxy in front of the reference service that spoils some exchanges the way a
// network and a server in trouble do: an answer of status 500 (before or after the service stored
// the request), a connection reset (before or after), an answer held back longer than the client
// waits. One request per connection, as the client makes them. Thread-safe.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace soak {

enum class NetFault { None, Status500, Reset, Slow };
inline constexpr std::array<const char*, 4> kNetFaultNames = {"none", "service answers 500", "connection reset",
                                                             "answer slower than the time-out"};

class FaultProxy {
 public:
  // Listens on a free loopback port; faults are drawn from an RNG seeded with seed.
  explicit FaultProxy(uint64_t seed);
  ~FaultProxy();
  FaultProxy(const FaultProxy&) = delete;
  FaultProxy& operator=(const FaultProxy&) = delete;

  bool Listening() const { return listenFd_ >= 0; }
  int Port() const { return port_; }
  std::string Endpoint() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  // The service's port; 0 while it is down (a connection is then dropped at once).
  void SetUpstream(int port) { upstream_ = port; }
  // The chance that one exchange is spoilt, and how long a slow answer is held back.
  void SetFaultRate(double rate) { faultRate_ = rate; }
  void SetSlowMs(int ms) { slowMs_ = ms; }

  // Exchanges spoilt, by kind, and all exchanges that reached the proxy.
  std::array<uint64_t, 4> Faults() const;
  uint64_t Exchanges() const { return exchanges_; }

 private:
  struct Connection {
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void Accept();
  void Serve(int fd);
  NetFault Draw(bool& afterForwarding);

  int listenFd_ = -1;
  int port_ = 0;
  int wakeFds_[2] = {-1, -1};
  std::atomic<int> upstream_{0};
  std::atomic<double> faultRate_{0.0};
  std::atomic<int> slowMs_{600};
  std::atomic<uint64_t> exchanges_{0};
  mutable std::mutex mutex_;
  std::mt19937_64 rng_;
  std::array<uint64_t, 4> faults_{};
  std::vector<std::unique_ptr<Connection>> connections_;
  std::thread acceptor_;
};

}  // namespace soak
