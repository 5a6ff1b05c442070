#pragma once
// UploadStore: the readings members' devices sent: scale weights and day files of both step kinds.

#include <cstdint>
#include <string>
#include <vector>

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

enum class DayOutcome { Stored, AlreadyStored, Failed };

class UploadStore {
 public:
  explicit UploadStore(Database& database) : database_(database) {}

  // True once the weight is committed; the answer to the client may then say so.
  bool AddWeight(int64_t uid, const std::string& scalecode, const std::string& day, int weightTenths, int64_t now);
  // A device's day is stored once; the same device, member and day again is AlreadyStored.
  DayOutcome AddDay(DeviceKind kind, int64_t uid, const std::string& pedcode, const std::string& day,
                    const std::string& data, int64_t now);

  // uid's weights by day, in the order they arrived within a day.
  std::vector<WeightRow> WeightsOf(int64_t uid);
  // uid's step days, newest day first.
  std::vector<DayRow> DaysOf(int64_t uid);
  int64_t WeightCount();

 private:
  Database& database_;
};

}  // namespace service
