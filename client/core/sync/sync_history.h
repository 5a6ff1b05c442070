#pragma once
// Where the sync pass tells the local history what it handled: a reading given to a user and not yet
// sent, a reading the service took, a device day the service took. The history must not fail or
// slow the pass: implementations swallow their own failures. The engine's default records nothing.

#include <string_view>

#include "client/core/users/user_record.h"

class SyncHistory {
 public:
  virtual ~SyncHistory() = default;
  virtual void WeightHeld(const UserRecord& user, const WeightRecord& reading) = 0;
  virtual void WeightStored(const UserRecord& user, const WeightRecord& reading) = 0;
  // date as the device gives it; data the day's text where the device gives one (the tracker's).
  virtual void DayStored(const UserRecord& user, DeviceKind kind, std::string_view date, std::string_view data) = 0;
};

class NoSyncHistory final : public SyncHistory {
 public:
  void WeightHeld(const UserRecord&, const WeightRecord&) override {}
  void WeightStored(const UserRecord&, const WeightRecord&) override {}
  void DayStored(const UserRecord&, DeviceKind, std::string_view, std::string_view) override {}
};
