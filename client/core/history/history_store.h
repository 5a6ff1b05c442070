#pragma once
// HistoryStore: the local history of every user, in one SQLite database beside the user file, rows
// keyed by the user's id at the service. The sync pass writes into it as it goes; the history page
// reads it. The history is a convenience beside the sync: no failure here stops or slows a pass.
// A database that cannot be opened or fails its check is kept aside ("PATH.damaged-N") and a fresh
// one takes its place; when even that fails, the store stays closed and every call is a no-op.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "client/core/history/history_dates.h"
#include "client/core/history/history_record.h"

struct sqlite3;

class HistoryStore {
 public:
  static constexpr const char* kFileName = "history.sqlite";
  // Per user: older rows beyond these go (decades of daily use, a few MB).
  static constexpr size_t kMaxWeights = 20000;
  static constexpr size_t kMaxDays = 10000;
  // How long a write waits for another process holding the database.
  static constexpr int kBusyWaitMs = 200;

  struct Limits {
    size_t weights = kMaxWeights;
    size_t days = kMaxDays;
  };
  explicit HistoryStore(std::string path) : HistoryStore(std::move(path), Limits{}) {}
  HistoryStore(std::string path, Limits limits);
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  bool IsOpen() const { return db_ != nullptr; }
  // Where a damaged database was kept at opening; empty when it opened sound.
  const std::string& DamagedCopy() const { return damagedCopy_; }

  // Adds a reading, or marks it sent when it is there: a reading is its time and weight. sentAt
  // empty keeps it unsent (and never unmarks one the service took). False when nothing was written.
  bool RecordWeight(std::string_view uid, const HistoryWeight& weight);
  // Adds a day of a device, or updates it (a later reading of the same day replaces the counts).
  bool RecordDay(std::string_view uid, const HistoryDay& day);
  // The user's history, oldest first; empty when the store is closed.
  UserHistory Load(std::string_view uid) const;

 private:
  bool Open();
  bool Prepare();
  void Trim(std::string_view uid);

  std::string path_;
  Limits limits_;
  std::string damagedCopy_;
  sqlite3* db_ = nullptr;
};
