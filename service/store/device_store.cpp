#include "service/store/device_store.h"

namespace service {

BindOutcome DeviceStore::Bind(DeviceKind kind, int64_t uid, const std::string& code, int64_t now) {
  DatabaseUse use(database_);
  if (!use.Begin()) return BindOutcome::Failed;
  const int64_t kindNumber = static_cast<int64_t>(kind);
  const bool scale = kind == DeviceKind::Scale;

  Statement own(use.handle(), "SELECT code FROM bindings WHERE kind = ? AND uid = ?");
  own.Bind(1, kindNumber).Bind(2, uid);
  if (own.Step()) {
    bool same = own.Text(0) == code;
    if (scale) return same ? BindOutcome::ScaleAlreadyYours : BindOutcome::OtherScaleYours;
    return same ? BindOutcome::StepAlreadyYours : BindOutcome::OtherStepYours;
  }
  Statement others(use.handle(), "SELECT COUNT(*) FROM bindings WHERE kind = ? AND code = ?");
  others.Bind(1, kindNumber).Bind(2, code);
  int64_t persons = others.Step() ? others.Int(0) : 0;
  if (scale && persons >= kPersonsPerScale) return BindOutcome::ScaleFull;
  if (!scale && persons >= 1) return BindOutcome::StepTaken;

  Statement insert(use.handle(), "INSERT INTO bindings(kind, uid, code, bound_at) VALUES(?, ?, ?, ?)");
  if (!insert.Bind(1, kindNumber).Bind(2, uid).Bind(3, code).Bind(4, now).Run() || !use.Commit())
    return BindOutcome::Failed;
  return BindOutcome::Bound;
}

bool DeviceStore::Unbind(DeviceKind kind, int64_t uid) {
  DatabaseUse use(database_);
  Statement remove(use.handle(), "DELETE FROM bindings WHERE kind = ? AND uid = ?");
  return remove.Bind(1, static_cast<int64_t>(kind)).Bind(2, uid).Run() && sqlite3_changes(use.handle()) == 1;
}

std::vector<Binding> DeviceStore::BindingsOf(int64_t uid) {
  DatabaseUse use(database_);
  std::vector<Binding> bindings;
  Statement query(use.handle(), "SELECT kind, code, bound_at FROM bindings WHERE uid = ? ORDER BY kind");
  query.Bind(1, uid);
  while (query.Step())
    bindings.push_back({static_cast<DeviceKind>(query.Int(0)), query.Text(1), query.Int(2)});
  return bindings;
}

}  // namespace service
