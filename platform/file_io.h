#pragma once
// Whole-file reads with a size bound, and writes that replace a file atomically.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace platform {

// Who may read a file that a write creates. An existing file keeps its own permissions.
enum class FileAccess { Shared, OwnerOnly };

// Files the programs read whole are small; anything larger than this is treated as unreadable
// rather than loaded into memory.
inline constexpr size_t kMaxReadBytes = size_t{256} << 20;

// The bytes of a regular file, or nothing when it is missing, not a regular file, unreadable or
// larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = kMaxReadBytes);

// True when something (file, folder, link) exists at path.
bool PathExists(const std::string& path);

// True when path is a link itself: a symbolic link, or on Windows any reparse point (a junction too).
bool IsLink(const std::string& path);

// Removes the file or the link at path, never a folder nor what a link points at. True when nothing
// stands at path afterwards.
bool RemoveFile(const std::string& path);

// Replaces path with bytes: written to a temporary file in the same folder, flushed to disk and
// renamed over the target, so a crash leaves either the old or the new file, never a mix.
// False when any step fails; the target is then untouched and the temporary file removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileAccess access = FileAccess::Shared);

// Gives the file at from the name to, unless something already has that name: nothing is ever
// replaced. False when to exists or the rename failed; from is then untouched.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

// A replacement of a file written in pieces, with the guarantees of WriteFileAtomically: the pieces
// go to a temporary file in the same folder, and Commit flushes it to disk and renames it over the
// target. Until then the target is untouched; a writer that is not committed removes its file.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(const std::string& path, FileAccess access = FileAccess::Shared);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Gives the replacement these permission bits instead of the target's own or the access's.
  bool SetMode(unsigned mode);
  // Appends bytes; false once any step has failed.
  bool Write(std::string_view bytes);
  // Replaces the target; false when any step failed, the target then being untouched.
  bool Commit();
  // The replacement while it is written (open for reading and writing); -1 when it was not made.
  int Descriptor() const { return fd_ ? fd_.get() : -1; }

 private:
  std::string path_;
  std::string temp_;
  UniqueFd fd_;
  bool ok_ = false;
};

// Reads up to size bytes at offset of the file open (for reading) as fd, without moving the file
// position others rely on: the count read, 0 at the file's end, -1 when the read failed.
long long ReadAt(int fd, char* buffer, size_t size, uint64_t offset);

// Takes away every permission of group and others from an existing file; false when it could not.
bool RestrictToOwner(const std::string& path);

}  // namespace platform
