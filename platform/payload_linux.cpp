// The items are linked in as read-only data; a written item gets the POSIX mode of its use.
#include "platform/payload.h"

#include "platform/file_io.h"

namespace platform {

std::optional<std::string_view> FindPayload(std::string_view type, unsigned id) {
  for (const PayloadItem& item : LinkedPayload()) {
    if (item.id == id && type == item.type) {
      return std::string_view(reinterpret_cast<const char*>(item.begin), static_cast<size_t>(item.end - item.begin));
    }
  }
  return std::nullopt;
}

bool WritePayload(unsigned id, std::string_view type, const std::string& path, PayloadUse use) {
  std::optional<std::string_view> bytes = FindPayload(type, id);
  if (!bytes || path.empty()) return false;
  unsigned mode = use == PayloadUse::Program ? 0755 : use == PayloadUse::Private ? 0600 : 0644;
  AtomicFileWriter writer(path);
  return writer.SetMode(mode) && writer.Write(*bytes) && writer.Commit();
}

}  // namespace platform
