// Reads fuzzed bytes as a profile file, reads and writes a value in it, and checks what the
// callers rely on: the written value reads back, no other line changes, and a written file reads
// back as itself. The input is the file, optionally followed by NUL, section, NUL, key, NUL, value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_file.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, std::string_view separator, size_t maxParts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < maxParts) {
    size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  parts.push_back(text);
  return parts;
}

// Printable ASCII with no blank at either end, none of the bytes that would give it another
// meaning in the file, and no quotes around it: such a text reads back exactly as written.
bool IsPlain(std::string_view text, std::string_view forbidden) {
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) return false;
  for (char c : text)
    if (c < 0x20 || c > 0x7e || forbidden.find(c) != std::string_view::npos) return false;
  return true;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts = Split(input, std::string_view("\0", 1), 4);
  std::string_view section = parts.size() > 1 ? parts[1] : "Set";
  std::string_view key = parts.size() > 2 ? parts[2] : "UseProxy";
  std::string_view value = parts.size() > 3 ? parts[3] : "1";

  platform::ProfileFile file = platform::ProfileFile::FromBytes(std::string(parts[0]));
  Check(!file.Save());
  (void)file.GetString(section, key, "");
  (void)file.GetInt(section, key, -1);
  std::string before = file.Serialize();
  Check(platform::ProfileFile::FromBytes(before).Serialize() == before);

  file.Set(section, key, value);
  std::string after = file.Serialize();
  Check(platform::ProfileFile::FromBytes(after).Serialize() == after);
  if (IsPlain(section, "[]") && IsPlain(key, "[]=")) {
    Check(file.Get(section, key).has_value());
    if (IsPlain(value, "")) Check(file.Get(section, key) == value);
  }

  // One line replaced, or the key's line added with its section's header when that was missing;
  // every other line as it was, and a line break at the end of the file if it had none.
  if (!before.starts_with("\xFF\xFE")) {
    std::vector<std::string_view> old = Split(before, "\r\n", SIZE_MAX);
    std::vector<std::string_view> now = Split(after, "\r\n", SIZE_MAX);
    if (!old.back().empty() && now.back().empty()) now.pop_back();
    size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
      ++suffix;
    Check(old.size() - prefix - suffix <= 1);
    Check(now.size() - prefix - suffix <= 2);
  }
  return 0;
}
