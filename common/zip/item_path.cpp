#include "common/zip/item_path.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "common/zip/made_folders.h"

namespace zip {

std::string WithSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool IsRooted(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool ClimbsOut(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return true;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

bool IsContainedName(std::string_view name) { return !IsRooted(name) && !HasDriveLetter(name) && !ClimbsOut(name); }

std::size_t ArchivePartOf(std::string_view target, std::string_view name) {
  if (!name.empty() && name.size() < target.size() && target.substr(target.size() - name.size()) == name &&
      target[target.size() - name.size() - 1] == '/') {
    return target.size() - name.size();
  }
  const std::size_t slash = target.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

std::optional<TargetPlace> PlaceTarget(int baseFd, MadeFolders& folders, const std::string& target,
                                       std::string_view name) {
  TargetPlace place;
  if (IsRooted(target)) {
    // The caller's own folder may be reached through links (a linked home folder); what the archive
    // named below it may not.
    const std::size_t split = ArchivePartOf(target, name);
    place.callerFolder = platform::UniqueFd(::open(target.substr(0, split).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!place.callerFolder) return std::nullopt;
    place.folder = place.callerFolder.get();
    place.below = target.substr(split);
    return place;
  }
  // Folders are made only below the base folder; an absolute target's folder must exist already.
  // The file itself is still opened from the base folder along its whole path, so that a folder
  // moved or swapped for a link since it was made never takes it elsewhere.
  const std::size_t slash = target.rfind('/');
  if (slash != std::string::npos && folders.Open(baseFd, std::string_view(target).substr(0, slash)) < 0) {
    return std::nullopt;
  }
  place.folder = baseFd;
  place.below = target;
  return place;
}

namespace {

// The components of a relative path, without the empty and "." ones that name no step.
std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

}  // namespace

platform::UniqueFd EnterFolder(int at, const std::string& name) {
  return platform::UniqueFd(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, int flags, mode_t mode) {
  const std::string text(path);
  struct open_how how {};
  how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
  how.mode = (flags & O_CREAT) != 0 ? mode : 0;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
  const long fd = ::syscall(SYS_openat2, baseFd, text.c_str(), &how, sizeof how);
  if (fd >= 0) return platform::UniqueFd(static_cast<int>(fd));
  // A kernel before openat2 says ENOSYS, one that lacks a resolve flag EINVAL, and a sandbox that
  // filters unknown calls may say EPERM: the long way gives the same answer there.
  if (errno != ENOSYS && errno != EINVAL && errno != EPERM) return {};
  return OpenBeneathByComponents(baseFd, path, flags, mode);
}

platform::UniqueFd OpenBeneathByComponents(int baseFd, std::string_view path, int flags, mode_t mode) {
  const std::vector<std::string> parts = Components(path);
  if (parts.empty()) {
    errno = ENOENT;
    return {};
  }
  platform::UniqueFd folder;
  int at = baseFd;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    folder = EnterFolder(at, parts[i]);
    if (!folder) return {};
    at = folder.get();
  }
  platform::UniqueFd fd(::openat(at, parts.back().c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode));
  struct stat info {};
  // With O_PATH, O_NOFOLLOW opens a link itself instead of refusing it.
  if (fd && (flags & O_PATH) != 0 && (::fstat(fd.get(), &info) != 0 || S_ISLNK(info.st_mode))) {
    errno = ELOOP;
    return {};
  }
  return fd;
}

bool MakeFolders(int baseFd, std::string_view folder) {
  MadeFolders made;
  return made.Open(baseFd, folder) >= 0;
}

}  // namespace zip
