// Reads fuzzed request bodies by the field layouts of the API methods and checks every reading:
// it gives back the body when joined again, the readings come earliest boundaries first, the work
// stays within its bound, and on bodies small enough for it a plain search of every placement finds
// exactly the same readings. The first input byte picks the layout and the reading limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/wire/form_reader.h"

namespace {

using Fields = std::vector<std::string_view>;

const std::vector<Fields>& Layouts() {
  static const std::vector<Fields> kLayouts = {
      {"method"},
      {"method", "user_id", "sign"},
      {"method", "account", "password", "sign"},
      {"method", "pedcode", "user_id", "sign"},
      {"method", "user_id", "scalecode", "date", "weight", "sign"},
      {"method", "pedcode", "user_id", "date", "sign", "file"},
      {"method", "pedcode", "user_id", "date", "sign", "file", "type"},
      // Short names, so that small inputs hold many of them.
      {"method", "a", "b", "c", "d"},
  };
  return kLayouts;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Where each "&name=" of a reading starts, found from the views into the body.
std::vector<size_t> StartsOf(const service::FormReading& reading, std::string_view body, const Fields& fields) {
  std::vector<size_t> starts;
  for (size_t i = 1; i < reading.values.size(); ++i)
    starts.push_back(static_cast<size_t>(reading.values[i].data() - body.data()) - fields[i].size() - 2);
  return starts;
}

// Every placement of the tags, in order, by trying each occurrence of each one: the first right
// after the method name, the last at its last occurrence (last). False when that takes more than
// budget steps.
bool EveryPlacement(std::string_view body, const std::vector<std::string>& tags, size_t last, size_t i, size_t from,
                    std::vector<size_t>& starts, std::vector<std::vector<size_t>>& found, size_t& budget) {
  if (i + 1 == tags.size()) {
    if (last != std::string_view::npos && last >= from && (i > 0 || last == from)) {
      starts[i] = last;
      found.push_back(starts);
    }
    return true;
  }
  for (size_t at = body.find(tags[i], from); at != std::string_view::npos; at = body.find(tags[i], at + 1)) {
    if (budget-- == 0) return false;
    if (i == 0 && at != from) break;
    starts[i] = at;
    if (!EveryPlacement(body, tags, last, i + 1, at + tags[i].size(), starts, found, budget)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Fields& fields = Layouts()[data[0] % Layouts().size()];
  size_t maxReadings = 1 + data[0] / Layouts().size() % 8;
  std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
  auto method = service::MethodNameOf(body);
  if (!method) return 0;
  Check(method->find('&') == std::string_view::npos);

  service::FormReadings form = service::ReadForm(body, *method, fields, maxReadings);
  Check(form.readings.size() <= maxReadings);
  Check(!form.truncated || form.readings.size() == maxReadings);
  Check(form.work <= fields.size() * (body.size() + maxReadings + 1));
  std::vector<std::vector<size_t>> starts;
  for (const service::FormReading& reading : form.readings) {
    Check(reading.values.size() == fields.size() && reading.values[0] == *method);
    std::string joined = "method=" + std::string(reading.values[0]);
    for (size_t i = 1; i < fields.size(); ++i)
      joined += "&" + std::string(fields[i]) + "=" + std::string(reading.values[i]);
    Check(joined == body);
    starts.push_back(StartsOf(reading, body, fields));
    Check(starts.size() == 1 || starts[starts.size() - 2] < starts.back());
  }

  std::vector<std::string> tags;
  for (size_t i = 1; i < fields.size(); ++i) tags.push_back("&" + std::string(fields[i]) + "=");
  std::vector<std::vector<size_t>> every;
  std::vector<size_t> placing(tags.size());
  size_t budget = 5000;
  size_t methodEnd = std::string_view("method=").size() + method->size();
  bool complete =
      tags.empty() || EveryPlacement(body, tags, body.rfind(tags.back()), 0, methodEnd, placing, every, budget);
  if (tags.empty() && methodEnd == body.size()) every.emplace_back();
  if (complete) {
    Check(form.truncated == (every.size() > maxReadings));
    if (every.size() > maxReadings) every.resize(maxReadings);
    Check(every == starts);
  }
  return 0;
}
