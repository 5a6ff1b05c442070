#pragma once
// ClientCore: every long-lived object of the client that is not a window, built in the order they
// depend on each other: the settings, the user list and the readings waiting for a user, the three
// devices (the scale's reader thread starts here), the web-service access, the sync engine and the
// one way windows change users. The frame owns one; the windows borrow what they need from it.

#include <memory>
#include <string>
#include <string_view>

#include "client/core/api/api_client.h"
#include "client/core/devices/hid_class.h"
#include "client/core/devices/pending_weights.h"
#include "client/core/devices/scale_link.h"
#include "client/core/devices/wall_clock.h"
#include "client/core/history/history_record.h"
#if VYMERA_HISTORY
#include "client/core/history/history_recorder.h"
#include "client/core/history/history_store.h"
#endif
#include "client/core/settings/settings_store.h"
#include "client/core/sync/api_sync_uploads.h"
#include "client/core/sync/held_weights.h"
#include "client/core/sync/sync_engine.h"
#include "client/core/sync/user_changes.h"
#include "client/core/users/user_store.h"
#include "kit/pace700_kit.h"
#include "platform/hid/hid_host.h"

// What the engine needs from the windows around it.
struct ClientPorts {
  SyncNotifier& notifier;
  FrameState& frame;
  PassPacer& pacer;
};

class ClientCore {
 public:
  // The access key the tracker kit is opened with.
  static constexpr int kKitKey = 604237;

  // programFolder holds the settings file, the user file and the "user" picture folder; host and
  // clock must outlive the core; endpoint empty means the built-in API address. Loads the settings;
  // the user list is loaded by LoadUsers.
  ClientCore(std::string programFolder, platform::HidHost& host, const WallClock& clock, ClientPorts ports,
             std::string endpoint = {});
  ClientCore(const ClientCore&) = delete;
  ClientCore& operator=(const ClientCore&) = delete;

  // What LoadUsers found amiss: the copies it kept of files it could not take as they were.
  struct LoadNotice {
    UserStore::Loaded::Reason userFile = UserStore::Loaded::Sound;
    std::string userFileCopy;  // where the user file was kept, when it was not sound
    std::string heldFileCopy;  // where a damaged file of held readings was kept
  };
  // Replaces the list with the accounts of the user file, and the held readings with the file's.
  LoadNotice LoadUsers();
  // Gives unassigned reading index to user userIndex (its scale bound): the next pass uploads it.
  // False when the user file could not be written (the reading stays unassigned), or when a pass
  // runs or either index is beyond its list (nothing changes).
  bool GiveUnassigned(size_t index, size_t userIndex);
  // Stores one record in the user file (moved to its end), or drops it from the file.
  bool StoreUser(const UserRecord& user, bool drop = false) const;
  // After a sync pass: every user as it stands now.
  bool StoreEveryUser() const;
  // At quit and at a session's end: every user, without those flagged autoclear.
  bool StoreAllUsers() const;

  const std::string& ProgramFolder() const { return programFolder_; }
  // The folder of users' pictures, with its trailing separator.
  std::string UserFolder() const { return programFolder_ + "/" + UserStore::kUserFolder + "/"; }
  const std::string& UserFile() const { return userFile_; }
  const WallClock& Clock() const { return clock_; }

  SettingsStore settings;
  UserList users;
  PendingWeights pending;
  HeldWeights held;
  CHIDClass pedometer;
  ScaleLink scale;
  CPace700Kit kit;
  ApiClient api;
#if VYMERA_HISTORY
  // Every reading and day the passes handled, per user; the history page reads it. A build without
  // the history's store (Windows, which has no SQLite) records none.
  HistoryStore history;
#endif
  // The user's history for the history page; empty in a build without the history's store.
  UserHistory LoadHistory(std::string_view uid) const;

 private:
  // The pass keeps users through this.
  class Keeping : public UserKeeping {
   public:
    explicit Keeping(const ClientCore& core) : core_(core) {}
    bool StoreUsers() override { return core_.StoreEveryUser(); }

   private:
    const ClientCore& core_;
  };

  std::string programFolder_;
  std::string userFile_;
  const WallClock& clock_;
  ApiSyncUploads uploads_;
  Keeping keeping_{*this};
#if VYMERA_HISTORY
  HistoryRecorder historyRecorder_{history, clock_};
#endif

 public:
  SyncEngine engine;
  UserChanges changes;
};
