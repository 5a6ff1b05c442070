#pragma once
// What vymera-sim has on its desk: a body scale and a pedometer on a simulated HID bus, and a K700
// tracker, with what each of them holds. The scale keeps readings taken earlier in its memory and
// sends them, as stored records, right after its next live reading. Thread-safe.

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kit/simulated_tracker.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"

namespace sim {

struct DeskIds {
  std::string scaleSerial = "5A0031C7";  // the client binds it as "W1" + this
  uint32_t scaleDeviceId = 0x00C0FFEE;   // carried in every frame
  uint32_t pedometerId = 20240601;
  int64_t trackerId = 8800123456789LL;
};

enum class DeskDevice { Scale, Pedometer, Tracker };

class SimDesk {
 public:
  // The scale holds at most this many readings, as a record byte numbers them.
  static constexpr size_t kScaleMemory = 255;

  explicit SimDesk(DeskIds ids = {});

  platform::HidHost& Host() { return host_; }
  SimulatedTracker& Tracker() { return tracker_; }
  const DeskIds& Ids() const { return ids_; }
  // The devices themselves, for faults and for what they recorded.
  SimScale& Scale() { return *scale_; }
  SimPedometer& Pedometer() { return *pedometer_; }

  // A live reading, then every reading in the scale's memory (which empties it); false when the
  // scale is unplugged. sent says how many stored readings went with it.
  bool Weigh(float kg, size_t& sent);
  // A reading taken at local time `when`, kept until the next live reading; false when full.
  bool Store(float kg, std::time_t when);
  size_t StoredReadings() const;

  // A day block for the pedometer, its 1021 bytes after the date filled with fill; false when it
  // holds 30 days already.
  bool AddPedometerDay(int year, int month, int day, uint8_t fill);
  // A day for the tracker, at the index that holds that date or else the first free one; false
  // when all 30 hold other dates.
  bool AddTrackerDay(int year, int month, int day, const std::string& data);

  void Plug(DeskDevice device);
  void Unplug(DeskDevice device);
  bool Plugged(DeskDevice device) const;

  // One line per device: plugged or not, ids, what it holds, what the client last did to it.
  std::string Status() const;

 private:
  struct Reading {
    float kg;
    uint32_t secondsSince2000;
  };

  DeskIds ids_;
  SimHidHost host_;
  std::shared_ptr<SimScale> scale_;
  std::shared_ptr<SimPedometer> pedometer_;
  mutable SimulatedTracker tracker_;  // its questions are not const, its answers do not change it
  mutable std::mutex mutex_;
  std::vector<Reading> memory_;
  uint8_t nextRecord_ = 1;
};

// Seconds from 2000-01-01 00:00:00 local time to `when` (local), as the scale counts; 0 before it.
uint32_t ScaleSeconds(std::time_t when);

}  // namespace sim
