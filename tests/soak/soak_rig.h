#pragma once
// The pieces the soak runs: the reference service in this process over one database file (it can
// be killed and started again), a clock the harness moves, and the ports a client core needs from
// its windows, with the pumps of a pass handed to the harness so that faults can strike mid-pass.

#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "client/core/sync/sync_ports.h"
#include "client/core/devices/wall_clock.h"
#include "service/http_server.h"
#include "service/service_data.h"
#include "service/store/sqlite.h"

namespace soak {

class SoakService {
 public:
  SoakService(std::string database, std::string releases)
      : databasePath_(std::move(database)), releases_(std::move(releases)) {}

  // Opens the database and serves on a free loopback port; false with error set when it cannot.
  bool Start(std::string& error) {
    database_ = std::make_unique<service::Database>();
    if (!database_->Open(databasePath_)) {
      error = database_->error();
      return false;
    }
    data_ = std::make_unique<service::ServiceData>(*database_, releases_);
    server_ = std::make_unique<service::HttpServer>(*data_, 8);
    return server_->Start("127.0.0.1", 0, error);
  }
  // Gone at once: what it stored stays in the database file.
  void Kill() {
    server_.reset();
    data_.reset();
    database_.reset();
  }
  bool Up() const { return server_ != nullptr; }
  int Port() const { return server_ ? server_->port() : 0; }
  service::ServiceData& Data() { return *data_; }

 private:
  std::string databasePath_;
  std::string releases_;
  std::unique_ptr<service::Database> database_;
  std::unique_ptr<service::ServiceData> data_;
  std::unique_ptr<service::HttpServer> server_;
};

// The PC's clock, moved by the harness and by the pass's own waits; never by real time.
class SoakClock final : public WallClock {
 public:
  explicit SoakClock(std::time_t start) : now_(start) {}
  std::time_t Now() const override { return now_ + milliseconds_ / 1000; }
  void AdvanceMs(long long ms) { milliseconds_ += ms; }

 private:
  std::time_t now_;
  long long milliseconds_ = 0;
};

// What a pass shows the user is not looked at; the pumps and waits of a pass go to the harness.
class SoakPorts final : public SyncNotifier, public FrameState, public PassPacer {
 public:
  explicit SoakPorts(SoakClock& clock) : clock_(clock) {}
  bool OpenProgressDialog(int) override { return false; }
  void PostToProgressDialog(unsigned) override {}
  void ShowAlert(std::string_view) override { alerted = true; }
  void ShowMessageBox(std::string_view, std::string_view) override {}
  bool MainWindowShownNormal() const override { return false; }
  void RefreshHardwarePanel() override {}
  void Wait(int milliseconds) override { clock_.AdvanceMs(milliseconds); }
  void PumpMessages() override {
    if (onPump) onPump();
  }

  std::function<void()> onPump;
  // An alert was shown since the harness cleared this: the client stores its users then.
  bool alerted = false;

 private:
  SoakClock& clock_;
};

}  // namespace soak
