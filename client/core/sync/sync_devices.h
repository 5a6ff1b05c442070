#pragma once
// The three device kinds as the sync engine meets them: how detection finds one, what a pass counts
// of it, and its upload step. The engine keeps them in the order a pass reads them (pedometer,
// tracker, scale) and loops over them; only the engine's files include this header.

#include <string>

#include "client/core/sync/sync_engine.h"

// A bound device that detection found attached.
inline bool Ready(const UserRecord& u, DeviceKind kind) {
  const DeviceSlot& s = u.Slot(kind);
  return s.connected && s.bound;
}

// Attached and not yet read to its end by a pass since it was attached.
inline bool Due(const UserRecord& u, DeviceKind kind) { return Ready(u, kind) && !u.Slot(kind).syncState; }

// Read in this attachment already, with days left that the service has not decided.
inline bool Retrying(const UserRecord& u, DeviceKind kind) { return Due(u, kind) && u.Slot(kind).readBefore; }

class SyncEngine::Device {
 public:
  Device(SyncEngine& engine, DeviceKind kind) : engine_(engine), kind_(kind) {}
  virtual ~Device() = default;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  DeviceKind Kind() const { return kind_; }

  // Asks the bus whether a device of this kind is attached; code is then the code it gave (empty
  // when it gave none).
  virtual bool Find(std::string& code) = 0;
  // Sets the attached device's clock to the PC's when the two differ by more than the tolerance.
  virtual void CheckClock() {}
  // What a pass would send for u: items new since the device's attachment, and items earlier passes
  // left. Day devices count the days they hold, which asks the device.
  virtual int FreshItems(const UserRecord& u) { return Due(u, kind_) && !Retrying(u, kind_) ? DaysHeld() : 0; }
  virtual int CarriedItems(const UserRecord& u) { return Retrying(u, kind_) ? DaysHeld() : 0; }
  // Whether a pass runs this kind's step for u.
  virtual bool StepRuns(const UserRecord& u) const { return Due(u, kind_); }
  // The upload step for u; Failed only when the whole pass must end.
  virtual StepEnd Upload(UserRecord& u) = 0;

 protected:
  // The days the attached device holds.
  virtual int DaysHeld() { return 0; }

  SyncEngine& engine_;

 private:
  DeviceKind kind_;
};

class SyncEngine::PedometerDevice final : public Device {
 public:
  PedometerDevice(SyncEngine& engine, CHIDClass& hid) : Device(engine, DeviceKind::Pedometer), hid_(hid) {}
  bool Find(std::string& code) override;
  void CheckClock() override;
  StepEnd Upload(UserRecord& u) override;

 protected:
  int DaysHeld() override;

 private:
  CHIDClass& hid_;
};

class SyncEngine::TrackerDevice final : public Device {
 public:
  TrackerDevice(SyncEngine& engine, CPace700Kit& kit) : Device(engine, DeviceKind::Pace700), kit_(kit) {}
  bool Find(std::string& code) override;
  void CheckClock() override;
  StepEnd Upload(UserRecord& u) override;

 protected:
  int DaysHeld() override;

 private:
  CPace700Kit& kit_;
};

// The scale holds no days: its step sends the readings users hold unsent.
class SyncEngine::ScaleDevice final : public Device {
 public:
  ScaleDevice(SyncEngine& engine, ScaleLink& scale) : Device(engine, DeviceKind::Scale), scale_(scale) {}
  bool Find(std::string& code) override;
  // The readings just taken are counted apart, when they are handed to users.
  int FreshItems(const UserRecord&) override { return 0; }
  int CarriedItems(const UserRecord& u) override;
  bool StepRuns(const UserRecord& u) const override;
  StepEnd Upload(UserRecord& u) override;

 private:
  ScaleLink& scale_;
};
