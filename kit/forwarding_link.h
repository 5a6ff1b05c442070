#pragma once
// A tracker link that hands every question to another link, chosen anew for each question.

#include "kit/tracker_link.h"

class ForwardingLink : public TrackerLink {
 public:
  bool Attached() override { return Target().Attached(); }
  int64_t DeviceId() override { return Target().DeviceId(); }
  std::optional<std::tm> Clock() override { return Target().Clock(); }
  bool SetClockToNow() override { return Target().SetClockToNow(); }
  std::array<std::optional<TrackerDay>, kDays> Days() override { return Target().Days(); }
  bool Erase() override { return Target().Erase(); }
  bool SetParameters(const TrackerParameters& p) override { return Target().SetParameters(p); }

 protected:
  virtual TrackerLink& Target() = 0;
};
