#include "client/core/sync/user_changes.h"

#include "client/core/sync/sync_engine.h"

UserChanges::UserChanges(UserList& users, const SyncEngine& engine, std::string path)
    : users_(users), engine_(engine), path_(std::move(path)) {}

UserChange UserChanges::Allowed(size_t index) const {
  if (engine_.Running()) return UserChange::PassRunning;
  return index < users_.size() ? UserChange::Done : UserChange::NoSuchUser;
}

UserChange UserChanges::Add(std::unique_ptr<UserRecord> user) {
  if (engine_.Running()) return UserChange::PassRunning;
  users_.push_back(std::move(user));
  return UserChange::Done;
}

UserChange UserChanges::Remove(size_t index) {
  UserChange allowed = Allowed(index);
  if (allowed != UserChange::Done) return allowed;
  users_.erase(users_.begin() + static_cast<std::ptrdiff_t>(index));
  return UserChange::Done;
}

UserChange UserChanges::ClearAccount(size_t index) {
  UserChange allowed = Allowed(index);
  if (allowed != UserChange::Done) return allowed;
  UserStore::StoreOne(*users_[index], path_, true);
  return Remove(index);
}

UserChange UserChanges::Login(size_t index, const XmlElement& answer) {
  return Edit(index, [&](UserRecord& user) { UserStore::FillFromUserInfo(user, answer); });
}

UserChange UserChanges::Logout(size_t index) {
  return Edit(index, [](UserRecord& user) { user.loggedIn = false; });
}

UserChange UserChanges::Edit(size_t index, const std::function<void(UserRecord&)>& change) {
  UserChange allowed = Allowed(index);
  if (allowed != UserChange::Done) return allowed;
  change(*users_[index]);
  return UserChange::Done;
}
