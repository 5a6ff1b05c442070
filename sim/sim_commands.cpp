#include "sim/sim_commands.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <sstream>
#include <vector>

namespace sim {
namespace {

struct Date {
  int year = 0, month = 0, day = 0;
};

std::optional<int> Integer(std::string_view text, int low, int high) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

// Kilograms with at most one decimal, as the scale's frame carries them: 0.1 to 6553.5.
std::optional<float> Kilograms(std::string_view text) {
  size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view tenth = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (point != std::string_view::npos && tenth.size() != 1) return std::nullopt;
  auto w = Integer(whole, 0, 6553);
  auto t = tenth.empty() ? std::optional<int>(0) : Integer(tenth, 0, 9);
  if (!w || !t || (*w == 0 && *t == 0) || (*w == 6553 && *t > 5)) return std::nullopt;
  return static_cast<float>(*w * 10 + *t) / 10.0f;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// YYYY-MM-DD, a real day of the years the devices count (2000-2099).
std::optional<Date> CalendarDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  auto y = Integer(text.substr(0, 4), 2000, 2099);
  auto m = Integer(text.substr(5, 2), 1, 12);
  auto d = Integer(text.substr(8, 2), 1, 31);
  if (!y || !m || !d) return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int last = kDays[*m - 1] + (*m == 2 && LeapYear(*y) ? 1 : 0);
  if (*d > last) return std::nullopt;
  return Date{*y, *m, *d};
}

// HH:MM or HH:MM:SS.
std::optional<std::tm> ClockTime(std::string_view text, std::tm fields) {
  if ((text.size() != 5 && text.size() != 8) || text[2] != ':' || (text.size() == 8 && text[5] != ':'))
    return std::nullopt;
  auto h = Integer(text.substr(0, 2), 0, 23);
  auto m = Integer(text.substr(3, 2), 0, 59);
  auto s = text.size() == 8 ? Integer(text.substr(6, 2), 0, 59) : std::optional<int>(0);
  if (!h || !m || !s) return std::nullopt;
  fields.tm_hour = *h;
  fields.tm_min = *m;
  fields.tm_sec = *s;
  return fields;
}

// DATE, DATETHH:MM[:SS] or DATE HH:MM[:SS] (two words), local time; midnight without a time.
std::optional<std::time_t> LocalMoment(const std::vector<std::string>& words, size_t at, size_t& used) {
  if (at >= words.size()) return std::nullopt;
  std::string_view first = words[at];
  std::string_view datePart = first.substr(0, 10);
  auto date = CalendarDate(datePart);
  if (!date) return std::nullopt;
  std::tm fields{};
  fields.tm_year = date->year - 1900;
  fields.tm_mon = date->month - 1;
  fields.tm_mday = date->day;
  fields.tm_isdst = -1;
  used = 1;
  std::optional<std::tm> full = fields;
  if (first.size() > 10) {
    if (first[10] != 'T') return std::nullopt;
    full = ClockTime(first.substr(11), fields);
  } else if (at + 1 < words.size() && words[at + 1].find(':') != std::string::npos) {
    full = ClockTime(words[at + 1], fields);
    used = 2;
  }
  if (!full) return std::nullopt;
  return std::mktime(&*full);
}

std::optional<DeskDevice> DeviceNamed(std::string_view name) {
  if (name == "scale") return DeskDevice::Scale;
  if (name == "pedometer") return DeskDevice::Pedometer;
  if (name == "tracker") return DeskDevice::Tracker;
  return std::nullopt;
}

const char* NameOf(DeskDevice device) {
  switch (device) {
    case DeskDevice::Scale: return "scale";
    case DeskDevice::Pedometer: return "pedometer";
    case DeskDevice::Tracker: return "tracker";
  }
  return "";
}

CommandResult Done(std::string text) { return {true, std::move(text) + "\n"}; }
CommandResult Refused(std::string text) { return {false, std::move(text) + "\n"}; }

std::string Kg(float kg) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f kg", static_cast<double>(kg));
  return text;
}

}  // namespace

const char* DeskCommands::Summary() {
  return "  weigh KG                         the scale sends a live reading of KG (a point, at most one decimal),\n"
         "                                   then every reading in its memory\n"
         "  store KG DATE[THH:MM[:SS]]       the scale keeps a reading taken then (local time) in its memory\n"
         "  pedometer-day DATE [FILL]        the pedometer stores a day block; FILL is the byte its data is\n"
         "                                   made of, 0-255 (default 17)\n"
         "  tracker-day DATE STEPS [SLEEP]   the tracker stores a day of STEPS steps and SLEEP minutes of sleep\n"
         "                                   (the day of that date is replaced)\n"
         "  unplug scale|pedometer|tracker|all\n"
         "  plug scale|pedometer|tracker|all\n"
         "  status                           what each device holds and what the client last did to it\n"
         "  help                             this list\n"
         "  quit                             ends the simulator\n"
         "  DATE is YYYY-MM-DD, 2000 to 2099.\n";
}

CommandResult DeskCommands::Run(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  if (words.empty()) return {true, ""};
  const std::string& verb = words[0];
  size_t n = words.size();

  if (verb == "help") return {true, Summary()};
  if (verb == "status" && n == 1) return {true, desk_.Status()};
  if (verb == "quit" && n == 1) return {true, "the simulator ends\n", true};

  if (verb == "weigh") {
    auto kg = n == 2 ? Kilograms(words[1]) : std::nullopt;
    if (!kg) return Refused("usage: weigh KG   (0.1 to 6553.5, a point before the one decimal)");
    size_t sent = 0;
    if (!desk_.Weigh(*kg, sent)) return Refused("the scale is unplugged");
    std::string text = "the scale sent " + Kg(*kg);
    if (sent) text += " and " + std::to_string(sent) + (sent == 1 ? " stored reading" : " stored readings");
    return Done(text);
  }
  if (verb == "store") {
    auto kg = n >= 3 ? Kilograms(words[1]) : std::nullopt;
    size_t used = 0;
    auto when = kg ? LocalMoment(words, 2, used) : std::nullopt;
    if (!kg || !when || 2 + used != n) return Refused("usage: store KG YYYY-MM-DD[THH:MM[:SS]]");
    if (!desk_.Store(*kg, *when)) return Refused("the scale's memory is full");
    return Done("the scale keeps " + Kg(*kg) + "; it goes out after the next live reading (" +
                std::to_string(desk_.StoredReadings()) + " in memory)");
  }
  if (verb == "pedometer-day") {
    auto date = n >= 2 && n <= 3 ? CalendarDate(words[1]) : std::nullopt;
    auto fill = n == 3 ? Integer(words[2], 0, 255) : std::optional<int>(17);
    if (!date || !fill) return Refused("usage: pedometer-day YYYY-MM-DD [FILL 0-255]");
    if (!desk_.AddPedometerDay(date->year, date->month, date->day, static_cast<uint8_t>(*fill)))
      return Refused("the pedometer holds 30 days already");
    return Done("the pedometer stores " + words[1]);
  }
  if (verb == "tracker-day") {
    auto date = n >= 3 && n <= 4 ? CalendarDate(words[1]) : std::nullopt;
    auto steps = n >= 3 ? Integer(words[2], 0, 999999) : std::nullopt;
    auto sleep = n == 4 ? Integer(words[3], 0, 1440) : std::optional<int>(0);
    if (!date || !steps || !sleep) return Refused("usage: tracker-day YYYY-MM-DD STEPS [SLEEP-MINUTES 0-1440]");
    std::string data = "steps=" + std::to_string(*steps) + ",sleep=" + std::to_string(*sleep);
    if (!desk_.AddTrackerDay(date->year, date->month, date->day, data))
      return Refused("the tracker holds 30 other days already");
    return Done("the tracker stores " + words[1]);
  }
  if ((verb == "plug" || verb == "unplug") && n == 2) {
    std::vector<DeskDevice> devices;
    if (words[1] == "all") {
      devices = {DeskDevice::Scale, DeskDevice::Pedometer, DeskDevice::Tracker};
    } else if (auto one = DeviceNamed(words[1])) {
      devices = {*one};
    } else {
      return Refused("usage: " + verb + " scale|pedometer|tracker|all");
    }
    std::string text;
    for (DeskDevice d : devices) {
      if (verb == "plug") desk_.Plug(d);
      else desk_.Unplug(d);
      text += std::string(text.empty() ? "" : ", ") + NameOf(d);
    }
    return Done(text + (verb == "plug" ? " plugged in" : " unplugged"));
  }
  return Refused("unknown command '" + line + "'; \"help\" lists the commands");
}

}  // namespace sim
