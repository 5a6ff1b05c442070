// Builds without the ZIP reader: an archive never opens, so the programs see a skin that is missing.
#include "toolkit/skin/resource_source.h"

namespace toolkit {
std::unique_ptr<ResourceSource> OpenArchiveSource(const std::string&) { return nullptr; }
}  // namespace toolkit
