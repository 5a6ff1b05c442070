#pragma once
// UserChanges: the one way the windows change the user list and the records in it. A sync pass holds
// users across pumped messages and message boxes, so while one runs every change is refused with
// PassRunning, and the window shows that or tries again on a later tick. Main-window thread only.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "client/core/users/user_store.h"

class SyncEngine;
class XmlElement;

enum class UserChange {
  Done,
  PassRunning,  // a sync pass is running; nothing was changed
  NoSuchUser,   // the index is beyond the list
};

class UserChanges {
 public:
  // users and engine must outlive this object; path is the user file's.
  UserChanges(UserList& users, const SyncEngine& engine, std::string path);

  // A new account after login or add-user, appended to the list.
  UserChange Add(std::unique_ptr<UserRecord> user);
  // Takes the user out of the list; the file keeps the account.
  UserChange Remove(size_t index);
  // Clearing an account from the user menu: dropped from the file (silently, as every store), then
  // taken out of the list.
  UserChange ClearAccount(size_t index);
  // A successful login: fills the record from the service's user-information answer.
  UserChange Login(size_t index, const XmlElement& answer);
  // Logging out: clears the logged-in flag.
  UserChange Logout(size_t index);
  // Any other change to one record (binding, unbinding, settings); change runs only when allowed.
  UserChange Edit(size_t index, const std::function<void(UserRecord&)>& change);

 private:
  UserChange Allowed(size_t index) const;

  UserList& users_;
  const SyncEngine& engine_;
  std::string path_;
};
