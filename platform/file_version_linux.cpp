// The version is an ELF note of owner "Vymera" (written by version_note.cpp), found through the
// section headers or, in a file stripped of them, the program headers.
#include "platform/file_version.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "platform/unique_fd.h"

namespace platform {
namespace {

constexpr uint32_t kNoteType = 1;
constexpr std::string_view kNoteOwner{"Vymera\0", 7};
constexpr uint32_t kSectionNote = 7;  // SHT_NOTE
constexpr uint32_t kSegmentNote = 4;  // PT_NOTE
constexpr uint64_t kMaxNoteBytes = 1 << 20;

// Reads the fixed-layout fields of an ELF file of either class and byte order.
class ElfReader {
 public:
  explicit ElfReader(int fd) : fd_(fd) {}

  bool ReadHeader() {
    unsigned char ident[16];
    if (!ReadAt(0, ident, sizeof ident)) return false;
    if (std::memcmp(ident, "\x7F" "ELF", 4) != 0) return false;
    if (ident[4] != 1 && ident[4] != 2) return false;
    if (ident[5] != 1 && ident[5] != 2) return false;
    wide_ = ident[4] == 2;
    bigEndian_ = ident[5] == 2;
    return true;
  }

  bool wide() const { return wide_; }

  // An unsigned field of size bytes at offset.
  std::optional<uint64_t> Field(uint64_t offset, size_t size) const {
    unsigned char bytes[8];
    if (size > sizeof bytes || !ReadAt(offset, bytes, size)) return std::nullopt;
    return Decode(bytes, size);
  }

  uint64_t Decode(const unsigned char* bytes, size_t size) const {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
      size_t index = bigEndian_ ? i : size - 1 - i;
      value = (value << 8) | bytes[index];
    }
    return value;
  }

  bool ReadAt(uint64_t offset, void* out, size_t size) const {
    ssize_t n = pread(fd_, out, size, static_cast<off_t>(offset));
    return n == static_cast<ssize_t>(size);
  }

 private:
  int fd_;
  bool wide_ = false;
  bool bigEndian_ = false;
};

struct NoteRange {
  uint64_t offset;
  uint64_t size;
  uint64_t align;
};

// Where the fields of a header table (sections or segments) stand, for one ELF class.
struct HeaderTable {
  uint64_t tableOffset, entrySize, count;  // fields of the file header
  uint64_t type, offset, size, align;      // fields of one table entry
  uint32_t noteType;
};

constexpr HeaderTable kSections64{0x28, 0x3A, 0x3C, 0x04, 0x18, 0x20, 0x30, kSectionNote};
constexpr HeaderTable kSegments64{0x20, 0x36, 0x38, 0x00, 0x08, 0x20, 0x30, kSegmentNote};
constexpr HeaderTable kSections32{0x20, 0x2E, 0x30, 0x04, 0x10, 0x14, 0x20, kSectionNote};
constexpr HeaderTable kSegments32{0x1C, 0x2A, 0x2C, 0x00, 0x04, 0x10, 0x1C, kSegmentNote};

// Note areas named by the section headers and the program headers (either may be stripped).
std::vector<NoteRange> FindNoteRanges(const ElfReader& elf) {
  std::vector<NoteRange> ranges;
  size_t word = elf.wide() ? 8 : 4;
  for (const HeaderTable& t : elf.wide() ? std::array{kSections64, kSegments64} : std::array{kSections32, kSegments32}) {
    auto tableOffset = elf.Field(t.tableOffset, word);
    auto entrySize = elf.Field(t.entrySize, 2);
    auto count = elf.Field(t.count, 2);
    if (!tableOffset || !entrySize || !count || *tableOffset == 0) continue;
    for (uint64_t i = 0; i < *count; ++i) {
      uint64_t entry = *tableOffset + i * *entrySize;
      auto type = elf.Field(entry + t.type, 4);
      auto offset = elf.Field(entry + t.offset, word);
      auto size = elf.Field(entry + t.size, word);
      auto align = elf.Field(entry + t.align, word);
      if (!type || !offset || !size || !align) break;
      if (*type == t.noteType) ranges.push_back({*offset, *size, *align});
    }
  }
  return ranges;
}

std::optional<FileVersion> FindVersionNote(const ElfReader& elf, const NoteRange& range) {
  if (range.size > kMaxNoteBytes || range.size < 12) return std::nullopt;
  std::vector<unsigned char> bytes(range.size);
  if (!elf.ReadAt(range.offset, bytes.data(), bytes.size())) return std::nullopt;
  uint64_t align = range.align == 8 ? 8 : 4;
  auto pad = [align](uint64_t n) { return (n + align - 1) / align * align; };
  uint64_t at = 0;
  while (at + 12 <= bytes.size()) {
    uint64_t nameSize = elf.Decode(&bytes[at], 4);
    uint64_t descSize = elf.Decode(&bytes[at + 4], 4);
    uint64_t type = elf.Decode(&bytes[at + 8], 4);
    uint64_t name = at + 12;
    uint64_t desc = name + pad(nameSize);
    if (desc > bytes.size() || descSize > bytes.size() - desc) break;
    if (type == kNoteType && nameSize == kNoteOwner.size() && descSize == 16 &&
        std::memcmp(&bytes[name], kNoteOwner.data(), kNoteOwner.size()) == 0) {
      FileVersion version{};
      for (size_t i = 0; i < 4; ++i) version[i] = static_cast<uint32_t>(elf.Decode(&bytes[desc + 4 * i], 4));
      return version;
    }
    at = desc + pad(descSize);
  }
  return std::nullopt;
}

}  // namespace

std::optional<FileVersion> ReadFileVersion(const std::string& path) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  ElfReader elf(fd.get());
  if (!elf.ReadHeader()) return std::nullopt;
  for (const NoteRange& range : FindNoteRanges(elf)) {
    if (auto version = FindVersionNote(elf, range)) return version;
  }
  return std::nullopt;
}

}  // namespace platform
