#include "client/core/app/client_core.h"

namespace {
std::string SettingsFile(const std::string& folder) { return folder + "/" + SettingsStore::kFileName; }
SettingsStore LoadedSettings(const std::string& folder) {
  SettingsStore settings;
  settings.Load(SettingsFile(folder));
  return settings;
}
}  // namespace

ClientCore::ClientCore(std::string programFolder, platform::HidHost& host, const WallClock& clock, ClientPorts ports,
                       std::string endpoint)
    : settings(LoadedSettings(programFolder)),
      held(pending, programFolder + "/" + HeldWeights::kFileName),
      pedometer(host, clock),
      scale(host, clock),
      api(settings, programFolder, std::move(endpoint)),
#if VYMERA_HISTORY
      history(programFolder + "/" + HistoryStore::kFileName),
#endif
      programFolder_(std::move(programFolder)),
      userFile_(programFolder_ + "/" + UserStore::kFileName),
      clock_(clock),
      uploads_(api),
      engine(users, held, {pedometer, scale, kit},
             {uploads_, keeping_, ports.notifier, ports.frame, ports.pacer, clock, settings}),
      changes(users, engine, userFile_) {
  kit.SetSercetKey(kKitKey);
#if VYMERA_HISTORY
  engine.SetHistory(historyRecorder_);
#endif
}

ClientCore::LoadNotice ClientCore::LoadUsers() {
  UserStore::CreateIfMissing(userFile_);
  UserStore::Loaded loaded = UserStore::Load(userFile_);
  users = std::move(loaded.users);
  LoadNotice notice{loaded.reason, std::move(loaded.keptAside), {}};
  notice.heldFileCopy = held.Load(users);
  return notice;
}

bool ClientCore::GiveUnassigned(size_t index, size_t userIndex) {
  if (engine.Running() || index >= held.Unassigned().size() || userIndex >= users.size()) return false;
  if (!users[userIndex]->Slot(DeviceKind::Scale).bound) return false;
  std::optional<WeightRecord> reading = held.TakeUnassigned(index);
  UserRecord& user = *users[userIndex];
  user.datalist.push_back(*reading);
  if (!StoreUser(user)) {
    // Back where it was: the user file does not hold it.
    user.datalist.pop_back();
    held.AddUnassigned(std::move(*reading));
    return false;
  }
  held.Settle();
  return true;
}

bool ClientCore::StoreUser(const UserRecord& user, bool drop) const { return UserStore::StoreOne(user, userFile_, drop); }

bool ClientCore::StoreEveryUser() const {
  bool all = true;
  for (const auto& user : users) all = StoreUser(*user) && all;
  return all;
}

bool ClientCore::StoreAllUsers() const { return UserStore::StoreAllAtQuit(users, userFile_); }

UserHistory ClientCore::LoadHistory(std::string_view uid) const {
#if VYMERA_HISTORY
  return history.Load(uid);
#else
  (void)uid;
  return {};
#endif
}
