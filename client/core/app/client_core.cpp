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
      pedometer(host, clock),
      scale(host, clock),
      api(settings, programFolder, std::move(endpoint)),
      programFolder_(std::move(programFolder)),
      userFile_(programFolder_ + "/" + UserStore::kFileName),
      clock_(clock),
      uploads_(api),
      engine(users, pending, {pedometer, scale, kit}, {uploads_, ports.notifier, ports.frame, ports.pacer, clock, settings}),
      changes(users, engine, userFile_) {
  kit.SetSercetKey(kKitKey);
}

void ClientCore::LoadUsers() {
  UserStore::CreateIfMissing(userFile_);
  users = UserStore::LoadAll(userFile_);
}

bool ClientCore::StoreUser(const UserRecord& user, bool drop) const { return UserStore::StoreOne(user, userFile_, drop); }

bool ClientCore::StoreEveryUser() const {
  bool all = true;
  for (const auto& user : users) all = StoreUser(*user) && all;
  return all;
}

bool ClientCore::StoreAllUsers() const { return UserStore::StoreAllAtQuit(users, userFile_); }
