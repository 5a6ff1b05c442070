#pragma once
// ReleaseStore: the published releases of the client; the newest one is offered to updaters.

#include <cstdint>
#include <optional>
#include <string>

#include "service/store/sqlite.h"

namespace service {

struct Release {
  std::string version;  // dotted decimal a.b.c.d
  std::string fileName;  // a plain file name inside the release folder
  int64_t publishedAt = 0;
  std::string signature;  // hex of the release file's Ed25519 signature; empty when unsigned
};

class ReleaseStore {
 public:
  explicit ReleaseStore(Database& database) : database_(database) {}

  bool Publish(const Release& release);
  // The release published last; nothing before the first.
  std::optional<Release> Latest();

 private:
  Database& database_;
};

}  // namespace service
