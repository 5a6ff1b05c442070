// vymera-sim: talks to the simulated devices by hand, one command a line on standard input, and
// prints the reports they answer with, to check a protocol question without hardware.
//
//   scale live ID KG                 the live frame the scale sends
//   scale stored ID KG SECONDS REC   a stored frame (SECONDS since 2000, REC its record byte)
//   ped day YEAR MONTH DAY           stores a day block in the pedometer
//   ped HEX...                       sends an output report (bytes after the report id) and prints
//                                    the reply, if any

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <locale>
#include <sstream>
#include <string>

#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"

namespace {

void PrintHex(const uint8_t* data, size_t n) {
  for (size_t i = 0; i < n; ++i) std::printf("%02X%s", data[i], i + 1 < n ? " " : "\n");
}

void PrintFrame(const std::vector<uint8_t>& f) { PrintHex(f.data(), f.size()); }

}  // namespace

int main() {
  auto pedometer = std::make_shared<sim::SimPedometer>(12345678);
  sim::SimHidHost host;
  host.Attach(pedometer);
  auto handle = host.Open(pedometer->Info().path);

  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    // Kilograms are typed with a point whatever locale the tool runs in.
    in.imbue(std::locale::classic());
    std::string device, what;
    in >> device >> what;
    if (device == "scale") {
      uint32_t id = 0, seconds = 0;
      unsigned rec = 0;
      float kg = 0;
      in >> id >> kg;
      if (what == "live") {
        PrintFrame(sim::SimScale::Frame(sim::SimScale::kLive, id, kg, 0, 0));
      } else if (what == "stored" && (in >> seconds >> rec)) {
        PrintFrame(sim::SimScale::Frame(sim::SimScale::kStored, id, kg, seconds, static_cast<uint8_t>(rec)));
      } else {
        std::puts("?");
      }
    } else if (device == "ped" && what == "day") {
      int y = 0, m = 0, d = 0;
      in >> y >> m >> d;
      std::puts(pedometer->AddDay(y, m, d) ? "stored" : "full");
    } else if (device == "ped") {
      std::vector<uint8_t> report(sim::SimPedometer::kReportBytes, 0);
      size_t at = 1;
      for (std::string byte = what; !byte.empty() && at < report.size(); byte.clear(), in >> byte) {
        char* end = nullptr;
        unsigned long value = std::strtoul(byte.c_str(), &end, 16);
        if (*end != '\0' || value > 0xFF) {
          at = 0;
          break;
        }
        report[at++] = static_cast<uint8_t>(value);
      }
      if (at == 0) {
        std::puts("?");
        continue;
      }
      handle->Write(report, 20);
      uint8_t reply[sim::SimPedometer::kReportBytes];
      auto got = handle->Read(reply, 0);
      if (got.ok()) {
        PrintHex(reply, got.bytes);
      } else {
        std::puts("(no reply)");
      }
    } else if (!device.empty()) {
      std::puts("?");
    }
  }
  return 0;
}
