#pragma once
// DaySettlement: which stored days of a device may leave its memory. A day is settled when it went
// up, counts as uploaded, or the service refused it with an answer at kRefusalsInARow attachments
// of the device in a row. One refusal is not enough, as it may be passing (the service failing to
// store); a day without an answer is never settled. The counts live in memory for this run of the
// client only, and only for the days a device held at its last attachment.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "client/core/sync/sync_rules.h"

class DaySettlement {
 public:
  static constexpr int kRefusalsInARow = 3;
  // Devices remembered at once; the one attached longest ago is forgotten first.
  static constexpr size_t kMaxDevices = 16;

  // Starts reading an attachment of device (its kind and code, e.g. "ped:A10020240601"); an
  // attachment not ended is replaced.
  void Begin(std::string device);
  // The answer to one day of the attachment (day: its date text; a date that occurs twice counts
  // as two days); true when the day is settled.
  bool Settle(std::string_view day, DayAnswer answer);
  // Ends the attachment: the days it did not hold are forgotten, as they are no longer in a row.
  void End();

 private:
  struct Device {
    std::map<std::string, int, std::less<>> refusals;  // day key → refusals in a row
    uint64_t lastAttached = 0;
  };

  std::map<std::string, Device> devices_;
  uint64_t attachments_ = 0;
  bool open_ = false;
  std::string device_;
  std::map<std::string, int, std::less<>> seen_;  // day → times it occurred in this attachment
  Device next_;
};
