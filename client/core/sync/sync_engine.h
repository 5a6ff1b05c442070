#pragma once
// SyncEngine: the detection tick (which bound device of which user is attached; device clocks) and
// the sync pass (give pending scale readings to users, read the attached devices, upload everything,
// report progress). Both run on the main-window thread from the frame's two timers; the pass pumps
// messages between items, and its running flag keeps a timer tick from starting a second one.
// The pass holds users across pumped messages and message boxes: the windows change users only
// through UserChanges, which refuses while Running(). Detection ticks may run during a pass; a
// device one of them finds gone is read again at its next attachment.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "client/core/devices/hid_class.h"
#include "client/core/devices/scale_link.h"
#include "client/core/devices/wall_clock.h"
#include "client/core/settings/settings_store.h"
#include "client/core/sync/backoff.h"
#include "client/core/sync/day_settlement.h"
#include "client/core/sync/held_weights.h"
#include "client/core/sync/sync_history.h"
#include "client/core/sync/sync_ports.h"
#include "client/core/users/user_store.h"
#include "kit/pace700_kit.h"

struct SyncDevices {
  CHIDClass& pedometer;
  ScaleLink& scale;
  CPace700Kit& kit;
};

struct SyncServices {
  SyncUploads& uploads;
  UserKeeping& keeping;
  SyncNotifier& notifier;
  FrameState& frame;
  PassPacer& pacer;
  const WallClock& clock;
  const SettingsStore& settings;
};

class SyncEngine {
 public:
  static constexpr int kWeightWaitMs = 200;
  static constexpr int kDayWaitMs = 500;
  static constexpr int kRetryWaitMs = 100;
  static constexpr int kClockToleranceSeconds = 5;

  // Everything is borrowed and must outlive the engine.
  SyncEngine(UserList& users, HeldWeights& held, SyncDevices devices, SyncServices services);
  ~SyncEngine();
  SyncEngine(const SyncEngine&) = delete;
  SyncEngine& operator=(const SyncEngine&) = delete;

  // Timer 1.
  void DetectionTick();
  // Timer 2; does nothing while a pass runs. Readings no ready user takes go to the unassigned
  // list. What a pass could not send (an unsent reading, a day without the service's decision) is
  // sent again by later passes, with or without new items, after the back-off of RetryBackoff.
  void SyncPass();
  const Backoff& RetryBackoff() const { return retry_; }
  // From now on the pass tells history what it handled; it must outlive the engine.
  void SetHistory(SyncHistory& history) { history_ = &history; }
  bool Running() const { return running_; }
  // Ends the running pass once the item it is on is settled (a quit, the session's end): that
  // item's answer is kept, what is left stays on the devices and in the lists for the next pass,
  // and nothing more is shown of the pass. No effect when no pass runs.
  void RequestStop() {
    if (running_) stopRequested_ = true;
  }

 private:
  struct Probe;
  class PassRun;
  // One device kind as the tick and the pass meet it (sync_devices.h), and the three kinds.
  class Device;
  class PedometerDevice;
  class TrackerDevice;
  class ScaleDevice;
  static constexpr size_t kDeviceKinds = 3;
  // How a device's upload step ended: the pass fails, the device was pulled or changed before the
  // end (it is read again at its next attachment), it ran to its end with days the service did not
  // decide (read again after the back-off), or it ran to its end.
  enum class StepEnd { Failed, DeviceChanged, Unsettled, Done };

  // Marks whether device's kind is attached for u; asks the bus only when probe has no answer yet.
  void Detect(Device& device, UserRecord& u, Probe& probe);
  // Gives the pending readings to the users they fit; the number taken.
  int AssignPendingWeights();
  // Keeps what AssignPendingWeights handed over in the user file, then in the held file.
  void KeepHandedOver();
  // Runs device's upload step for u and marks the device synced when it ended with the device
  // still attached as it was when the step began; false when the pass fails.
  bool RunStep(UserRecord& u, Device& device);
  // The day-answer rules (count, message boxes); the answer's class.
  DayAnswer AnswerDay(UserRecord& u, std::unique_ptr<XmlDocument> answer);
  void Finish(bool ok, int total);
  void ItemUploaded();
  std::string Now() const;

  UserList& users_;
  HeldWeights& held_;
  SyncServices services_;
  // In the order a pass reads them: pedometer, tracker, scale.
  std::array<std::unique_ptr<Device>, kDeviceKinds> kinds_;
  bool running_ = false;
  bool stopRequested_ = false;
  bool dialogOpen_ = false;
  // Per device kind: detection ticks that found no such device attached.
  std::array<uint64_t, kDeviceKinds> departures_{};
  DaySettlement settlement_;
  Backoff retry_;
  bool unsettled_ = false;  // a step of this pass left days the service did not decide
  bool quiet_ = false;      // this pass only retries what failed before, and shows only a success
  NoSyncHistory noHistory_;
  SyncHistory* history_ = &noHistory_;
};
