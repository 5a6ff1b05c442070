#pragma once
// The file name a user's picture is stored under in the "user" folder, made from the display name
// the service sends. The name comes from the network, so it is made safe to use as one path
// element: whatever the service answers, the picture lands inside that folder.

#include <string>
#include <string_view>

// At most this many bytes of the display name are kept (cut between characters).
inline constexpr size_t kMaxPictureNameBytes = 100;

// uname with path separators, control characters and bytes that are not UTF-8 replaced by "_";
// a leading dot, a trailing dot and every dot that follows a dot replaced by "_" (no hidden files,
// no ".."); cut to kMaxPictureNameBytes; "_" when nothing is left. The ".jpg" is not included.
std::string PictureBaseName(std::string_view uname);
