#include "service/store/upload_store.h"

namespace service {

// The unique indexes decide, inside SQLite, whether a row is new: copies that arrive at the same
// moment on two connections cannot both be inserted.
UploadOutcome UploadStore::AddWeight(int64_t uid, const std::string& scalecode, const std::string& day,
                                     int weightTenths, int64_t now) {
  UploadOutcome outcome = UploadOutcome::Failed;
  bool committed = commits_.Apply([&](sqlite3* db) {
    Statement insert(db,
                     "INSERT INTO weights(uid, scalecode, day, weight_tenths, received_at) VALUES(?, ?, ?, ?, ?)"
                     " ON CONFLICT(uid, scalecode, day, weight_tenths) DO NOTHING");
    if (!insert.Bind(1, uid).Bind(2, scalecode).Bind(3, day).Bind(4, weightTenths).Bind(5, now).Run()) return false;
    outcome = sqlite3_changes(db) == 1 ? UploadOutcome::Stored : UploadOutcome::Repeated;
    return true;
  });
  return committed ? outcome : UploadOutcome::Failed;
}

UploadOutcome UploadStore::AddDay(DeviceKind kind, int64_t uid, const std::string& pedcode, const std::string& day,
                                  const std::string& data, int64_t now) {
  UploadOutcome outcome = UploadOutcome::Failed;
  bool committed = commits_.Apply([&](sqlite3* db) {
    Statement insert(db,
                     "INSERT INTO day_uploads(kind, uid, pedcode, day, data, received_at) VALUES(?, ?, ?, ?, ?, ?)"
                     " ON CONFLICT(kind, uid, pedcode, day) DO NOTHING");
    insert.Bind(1, static_cast<int64_t>(kind)).Bind(2, uid).Bind(3, pedcode).Bind(4, day).Bind(5, data).Bind(6, now);
    if (!insert.Run()) return false;
    if (sqlite3_changes(db) == 1) {
      outcome = UploadOutcome::Stored;
      return true;
    }
    // The group's transaction holds the connection, so the row that stopped the insert is still the
    // one read here.
    Statement stored(db, "SELECT data = ? FROM day_uploads WHERE kind = ? AND uid = ? AND pedcode = ? AND day = ?");
    stored.Bind(1, data).Bind(2, static_cast<int64_t>(kind)).Bind(3, uid).Bind(4, pedcode).Bind(5, day);
    if (!stored.Step()) return false;
    outcome = stored.Int(0) == 1 ? UploadOutcome::Repeated : UploadOutcome::AlreadyStored;
    return true;
  });
  return committed ? outcome : UploadOutcome::Failed;
}

std::vector<WeightRow> UploadStore::WeightsOf(int64_t uid) {
  DatabaseUse use(database_);
  std::vector<WeightRow> rows;
  Statement query(use.handle(),
                  "SELECT day, weight_tenths, scalecode, received_at FROM weights WHERE uid = ? ORDER BY day, id");
  query.Bind(1, uid);
  while (query.Step())
    rows.push_back({query.Text(0), static_cast<int>(query.Int(1)), query.Text(2), query.Int(3)});
  return rows;
}

std::vector<DayRow> UploadStore::DaysOf(int64_t uid) {
  DatabaseUse use(database_);
  std::vector<DayRow> rows;
  Statement query(use.handle(),
                  "SELECT kind, pedcode, day, length(data), received_at FROM day_uploads WHERE uid = ?"
                  " ORDER BY day DESC, kind, id");
  query.Bind(1, uid);
  while (query.Step())
    rows.push_back({static_cast<DeviceKind>(query.Int(0)), query.Text(1), query.Text(2),
                    static_cast<size_t>(query.Int(3)), query.Int(4)});
  return rows;
}

int64_t UploadStore::WeightCount() {
  DatabaseUse use(database_);
  Statement query(use.handle(), "SELECT COUNT(*) FROM weights");
  return query.Step() ? query.Int(0) : -1;
}

}  // namespace service
