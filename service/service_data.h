#pragma once
// ServiceData: the stores of one running service over its database, and where its releases lie.
// Every store is safe to use from any request thread.

#include <string>

#include "service/store/account_store.h"
#include "service/store/device_store.h"
#include "service/store/release_store.h"
#include "service/store/session_store.h"
#include "service/store/sqlite.h"
#include "service/store/upload_store.h"

namespace service {

struct ServiceData {
  // database must be open and outlive this object.
  ServiceData(Database& database, std::string releases)
      : accounts(database), sessions(database), devices(database), uploads(database), releasesOf(database),
        releaseFolder(std::move(releases)) {}

  AccountStore accounts;
  SessionStore sessions;
  DeviceStore devices;
  UploadStore uploads;
  ReleaseStore releasesOf;
  std::string releaseFolder;
};

}  // namespace service
