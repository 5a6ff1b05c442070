#include "client/core/history/history_recorder.h"

#include <cmath>

#include "client/core/devices/local_time.h"

namespace {

constexpr int kMaxCount = 9999999;

std::string NowText(const WallClock& clock) {
  std::tm f = LocalFields(clock.Now());
  int fields[6] = {f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec};
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields[0], fields[1], fields[2], fields[3],
                fields[4], fields[5]);
  return text;
}

// The number after key= in a comma-separated list; nothing when absent, malformed or too large.
std::optional<int> Field(std::string_view data, std::string_view key) {
  size_t start = 0;
  while (start <= data.size()) {
    size_t end = data.find(',', start);
    if (end == std::string_view::npos) end = data.size();
    std::string_view item = data.substr(start, end - start);
    if (item.size() > key.size() && item.substr(0, key.size()) == key && item[key.size()] == '=') {
      std::string_view digits = item.substr(key.size() + 1);
      if (digits.empty() || digits.size() > 7) return std::nullopt;
      int value = 0;
      for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
      }
      return value <= kMaxCount ? std::optional<int>(value) : std::nullopt;
    }
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace

TrackerCounts ReadTrackerCounts(std::string_view data) { return {Field(data, "steps"), Field(data, "sleep")}; }

void HistoryRecorder::Weight(const UserRecord& user, const WeightRecord& reading, bool sent) {
  std::optional<std::string> taken = IsoDateTime(reading.exacttime.empty() ? reading.time : reading.exacttime);
  if (!taken || user.uid.empty() || !std::isfinite(reading.weight)) return;
  HistoryWeight w{*taken, static_cast<int>(std::lround(reading.weight * 10.0f)), sent ? NowText(clock_) : ""};
  store_.RecordWeight(user.uid, w);
}

void HistoryRecorder::WeightHeld(const UserRecord& user, const WeightRecord& reading) { Weight(user, reading, false); }

void HistoryRecorder::WeightStored(const UserRecord& user, const WeightRecord& reading) {
  Weight(user, reading, true);
}

void HistoryRecorder::DayStored(const UserRecord& user, DeviceKind kind, std::string_view date,
                                std::string_view data) {
  std::optional<std::string> iso = IsoDate(date);
  if (!iso || user.uid.empty()) return;
  HistoryDay day;
  day.date = *iso;
  day.kind = kind == DeviceKind::Pace700 ? HistoryDayKind::Tracker : HistoryDayKind::Pedometer;
  if (day.kind == HistoryDayKind::Tracker) {
    TrackerCounts counts = ReadTrackerCounts(data);
    day.steps = counts.steps;
    day.sleepMinutes = counts.sleepMinutes;
  }
  day.sentAt = NowText(clock_);
  store_.RecordDay(user.uid, day);
}
