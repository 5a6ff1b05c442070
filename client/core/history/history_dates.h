#pragma once
// The dates of the history, as the devices and the user file write them and as the history keeps them.

#include <optional>
#include <string>
#include <string_view>

// Texts the devices and the user file give, in the history's ISO form; nothing when not a date.
// "2026-3-5" and "2026-03-05" give "2026-03-05"; "2026-03-05-07-12-00" gives "2026-03-05 07:12:00".
std::optional<std::string> IsoDate(std::string_view text);
std::optional<std::string> IsoDateTime(std::string_view text);
