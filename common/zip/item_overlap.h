#pragma once
// Items whose bytes overlap another item's. An archive maker never lays out two items over the same
// bytes, but a hostile archive does, so that many directory entries unpack one small piece of data
// again and again (a thousand entries on one local header: gigabytes out of kilobytes).

#include <vector>

#include "common/zip/archive_file.h"
#include "common/zip/zip_records.h"

namespace zip {

// For each item of the directory at location, true when the span from its local header to the end
// of its data overlaps another item's. Items whose central record or local header cannot be read
// are left false: they fail on their own when described.
std::vector<bool> FindOverlappingItems(const ArchiveFile& file, const DirectoryLocation& location);

}  // namespace zip
