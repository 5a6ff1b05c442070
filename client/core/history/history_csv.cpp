#include "client/core/history/history_csv.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_io.h"

namespace {

constexpr size_t kMaxNameBytes = 60;

std::string Tenths(int tenths) {
  // Integer arithmetic: no locale's decimal comma can reach it.
  std::string sign = tenths < 0 ? "-" : "";
  int a = std::abs(tenths);
  return sign + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

std::string Maybe(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

const char* KindWord(HistoryDayKind kind) { return kind == HistoryDayKind::Tracker ? "运动追踪器" : "计步器"; }

struct Row {
  std::string sortKey;
  std::string text;
};

std::string Sent(const std::string& sentAt) { return (sentAt.empty() ? "否," : "是,") + sentAt; }

}  // namespace

std::string HistoryCsv(const UserHistory& history) {
  std::vector<Row> rows;
  rows.reserve(history.weights.size() + history.days.size());
  for (const HistoryWeight& w : history.weights) {
    std::string date = w.taken.substr(0, 10);
    std::string time = w.taken.size() > 11 ? w.taken.substr(11) : std::string();
    rows.push_back({w.taken, "体重," + date + "," + time + "," + Tenths(w.tenths) + ",,," + Sent(w.sentAt)});
  }
  for (const HistoryDay& d : history.days) {
    rows.push_back({d.date + " ~", std::string(KindWord(d.kind)) + "," + d.date + ",,," + Maybe(d.steps) + "," +
                                       Maybe(d.sleepMinutes) + "," + Sent(d.sentAt)});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.sortKey < b.sortKey; });
  std::string out(kCsvByteOrderMark);
  out += kHistoryCsvHeader;
  out += "\r\n";
  for (const Row& r : rows) out += r.text + "\r\n";
  return out;
}

std::string HistoryCsvFileName(std::string_view userName, std::string_view isoDate) {
  std::string name;
  for (unsigned char c : userName) {
    if (name.size() >= kMaxNameBytes && (c & 0xC0) != 0x80) break;  // cut between characters only
    bool bad = c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
    name += bad ? '_' : static_cast<char>(c);
  }
  // A name of dots alone would read as a folder.
  if (std::all_of(name.begin(), name.end(), [](char c) { return c == '.' || c == ' '; })) name.clear();
  return "Vymera_" + (name.empty() ? std::string() : name + "_") + std::string(isoDate) + ".csv";
}

std::optional<std::string> ExportHistoryCsv(const std::string& folder, std::string_view userName,
                                            std::string_view isoDate, const UserHistory& history) {
  std::string path = folder + "/" + HistoryCsvFileName(userName, isoDate);
  if (!platform::WriteFileAtomically(path, HistoryCsv(history))) return std::nullopt;
  return path;
}
