#pragma once
// The build's side of payload items carried as resources: the table the build makes names each
// item, and the platform finds their bytes in the program's file.

#include <span>

#include "platform/payload.h"

namespace platform {

struct PayloadName {
  const char* type;
  unsigned id;
};

// The items of names found in the program's own file, in the order of names; computed once.
std::span<const PayloadItem> ResolvePayload(std::span<const PayloadName> names);

}  // namespace platform
