#include "service/store/release_store.h"

namespace service {

bool ReleaseStore::Publish(const Release& release) {
  DatabaseUse use(database_);
  Statement insert(use.handle(),
                   "INSERT INTO releases(version, file_name, published_at, signature) VALUES(?, ?, ?, ?)");
  return insert.Bind(1, release.version)
      .Bind(2, release.fileName)
      .Bind(3, release.publishedAt)
      .Bind(4, release.signature)
      .Run();
}

std::optional<Release> ReleaseStore::Latest() {
  DatabaseUse use(database_);
  Statement query(use.handle(),
                  "SELECT version, file_name, published_at, signature FROM releases ORDER BY id DESC LIMIT 1");
  if (!query.Step()) return std::nullopt;
  return Release{query.Text(0), query.Text(1), query.Int(2), query.Text(3)};
}

}  // namespace service
