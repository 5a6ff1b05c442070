#pragma once
// UploadStore: the readings members' devices sent: scale weights and day files of both step kinds.

#include <cstdint>
#include <string>
#include <vector>

#include "service/store/commit_group.h"
#include "service/store/device_store.h"
#include "service/store/sqlite.h"

namespace service {

struct WeightRow {
  std::string day;  // "YYYY-MM-DD"
  int weightTenths = 0;
  std::string scalecode;
  int64_t receivedAt = 0;
};

struct DayRow {
  DeviceKind kind = DeviceKind::Pedometer;
  std::string pedcode;
  std::string day;
  size_t dataBytes = 0;
  int64_t receivedAt = 0;
};

// How an upload met the store. A client whose answer was lost sends the same request again, so an
// exact copy of what is stored is Repeated and answered as the first one was; AlreadyStored is another
// reading for a place that is taken (a day sent again with other data).
enum class UploadOutcome { Stored, Repeated, AlreadyStored, Failed };

class UploadStore {
 public:
  explicit UploadStore(Database& database) : database_(database), commits_(database) {}

  // Uploads from many request threads share commits (CommitGroup). A weight is stored once per
  // member, scale, day and value: the same again is Repeated, never a second row. Stored or Repeated means it is committed, and the answer to the client may say so.
  UploadOutcome AddWeight(int64_t uid, const std::string& scalecode, const std::string& day, int weightTenths,
                          int64_t now);
  // A device's day is stored once: the same device, member, day and data again is Repeated; the same
  // day with other data is AlreadyStored and leaves the first.
  UploadOutcome AddDay(DeviceKind kind, int64_t uid, const std::string& pedcode, const std::string& day,
                    const std::string& data, int64_t now);

  // uid's weights by day, in the order they arrived within a day.
  std::vector<WeightRow> WeightsOf(int64_t uid);
  // uid's step days, newest day first.
  std::vector<DayRow> DaysOf(int64_t uid);
  int64_t WeightCount();

 private:
  Database& database_;
  CommitGroup commits_;
};

}  // namespace service
