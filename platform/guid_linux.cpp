// libuuid's random (version 4) UUIDs, whose bytes already stand in text order.
#include <uuid/uuid.h>

#include <algorithm>

#include "platform/guid.h"

namespace platform {

std::optional<GuidBytes> NewGuid() {
  uuid_t id;
  uuid_generate_random(id);
  if (uuid_is_null(id)) return std::nullopt;
  GuidBytes bytes;
  std::copy(std::begin(id), std::end(id), bytes.begin());
  return bytes;
}

}  // namespace platform
