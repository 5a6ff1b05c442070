#pragma once
// DeviceStore: which member wears or stands on which device. A member has at most one device of
// each kind; a scale serves a family of up to four, a pedometer or tracker belongs to one person.

#include <cstdint>
#include <string>
#include <vector>

#include "service/store/sqlite.h"

namespace service {

// The numbers are the client's "hardtype" values.
enum class DeviceKind { Pedometer = 0, Scale = 1, Pace700 = 2 };

inline constexpr int kPersonsPerScale = 4;

// The outcome of a binding; the refusals carry the codes the client shows.
enum class BindOutcome {
  Bound,
  ScaleAlreadyYours,  // "41"
  ScaleFull,  // "42": four persons on the scale already
  OtherScaleYours,  // "43": the member stands on another scale
  OtherStepYours,  // "31": the member wears another device of this kind
  StepTaken,  // "32": the device belongs to someone else
  StepAlreadyYours,  // "33"
  Failed,  // the store could not write
};

struct Binding {
  DeviceKind kind = DeviceKind::Scale;
  std::string code;
  int64_t boundAt = 0;
};

class DeviceStore {
 public:
  explicit DeviceStore(Database& database) : database_(database) {}

  // Binds the device with that code to uid, checking the limits above inside one write
  // transaction so two members cannot both take the last place.
  BindOutcome Bind(DeviceKind kind, int64_t uid, const std::string& code, int64_t now);
  // Removes uid's device of that kind; false when there was none (or the write failed).
  bool Unbind(DeviceKind kind, int64_t uid);
  // uid's devices in kind order.
  std::vector<Binding> BindingsOf(int64_t uid);

 private:
  Database& database_;
};

}  // namespace service
