#pragma once
// Payload items: whole files carried inside a program and found by a type name and a number, the
// way the installer carries the tree it writes. The build makes a program's table with
// vymera_payload() (cmake/VymeraPayload.cmake); a program that calls these functions without one
// does not link.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct PayloadItem {
  const char* type;  // "EXE", "DLL", "ZIP", ...
  unsigned id;
  const unsigned char* begin;
  const unsigned char* end;
};

// The items linked into this program, in the order the build listed them.
std::span<const PayloadItem> LinkedPayload();

// The bytes of the item of that type and id; nothing when the program carries none.
std::optional<std::string_view> FindPayload(std::string_view type, unsigned id);

// How a written item may be used: data is readable by all, a program also runnable by all, private
// data only by its owner.
enum class PayloadUse { Data, Program, Private };

// Writes the item to path, replacing whatever file is there: all bytes go to a new file in the same
// folder, which is flushed and renamed over path, so a program still running from the old file
// keeps it and nothing half-written is ever left. The file gets the mode of its use, whatever the
// old one had. True when every byte was written; false when the item is missing, path is taken by
// something that is not a file, or a write failed (path then untouched).
bool WritePayload(unsigned id, std::string_view type, const std::string& path, PayloadUse use = PayloadUse::Data);

}  // namespace platform
