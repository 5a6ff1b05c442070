#pragma once
// A profile (ini) file with the behaviour programs of this family rely on: a missing file, section or
// key reads as the caller's default; section and key names match without regard to ASCII case (the
// first match wins); a write replaces the value in place, or adds the key to its section, or adds the
// section, and keeps every other line byte for byte. Text in the file is in the 8-bit code page (a
// file that starts with the UTF-16LE byte-order mark is read and written back as UTF-16LE); lines end
// in CR LF. Callers speak UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProfileFile {
 public:
  // Reads path. A missing file reads as empty and may be written. A file that exists but cannot be
  // read (unreadable, not a regular file, too large) reads as empty and refuses writes, so that no
  // write can replace data it never saw.
  static ProfileFile Load(const std::string& path);

  // The profile held in bytes, read as Load reads a file's content. It has no file: Save refuses.
  static ProfileFile FromBytes(std::string bytes);

  // The value of key in section with surrounding blanks and one pair of matching quotes removed,
  // or nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;

  // The value read as a decimal integer (blanks and a sign accepted, reading stops at the first
  // non-digit, no digits give 0, saturating at the 32-bit limits); fallback when the key is missing
  // or its value empty.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // Sets key in section in memory. Line breaks in the value become blanks: a value can never add
  // lines or sections to the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Writes the whole file back atomically. False when the file refused writes or the write failed.
  bool Save() const;

  // The bytes Save would write.
  std::string Serialize() const;

 private:
  enum class Encoding { CodePage, Utf16Le };

  struct Position {
    size_t section = 0;  // index of the section's header line, or npos
    size_t key = 0;      // index of the key's line, or npos
    size_t insertAt = 0; // where a new key of that section goes
  };

  std::string Decode(std::string_view bytes) const;
  std::string Encode(std::string_view utf8) const;
  Position Find(std::string_view section, std::string_view key) const;
  size_t EndOfContent() const;

  std::string path_;
  bool writable_ = true;
  Encoding encoding_ = Encoding::CodePage;
  // The file split at LF, each piece without its CR; when the file ends in a line break the last
  // piece is empty. Pieces hold the file's bytes (UTF-8 for a UTF-16LE file).
  std::vector<std::string> lines_;
};

}  // namespace platform
