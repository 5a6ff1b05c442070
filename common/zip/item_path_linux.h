#pragma once
// Opening beneath a held folder with Linux's own means, for the Linux files of the extractor and
// their tests.

#include <sys/types.h>

#include <string_view>

#include "platform/unique_fd.h"

namespace zip {

// Opens path (relative, "/" separators, no "..") beneath the folder open as baseFd as openat would
// with flags and mode, but follows no symbolic link on any component, the last one included: one
// openat2 call where the kernel has it, otherwise component by component. Invalid (with errno set)
// when a component is a link or missing, or the open fails.
platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, int flags, mode_t mode = 0);

// OpenBeneath the long way, for kernels without openat2: each folder opened from the one before it
// with O_NOFOLLOW | O_DIRECTORY, then the last component with O_NOFOLLOW.
platform::UniqueFd OpenBeneathByComponents(int baseFd, std::string_view path, int flags, mode_t mode = 0);

}  // namespace zip
