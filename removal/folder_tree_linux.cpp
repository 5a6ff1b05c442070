#include "removal/folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace {

// The folder's entries other than "." and "..", with whether each is a real folder (a link to one
// is not). Read before anything is removed, so removing does not disturb the listing.
struct Entry {
  std::string name;
  bool folder;
};

bool ListFolder(int fd, std::vector<Entry>& entries) {
  int copy = dup(fd);
  if (copy < 0) return false;
  DIR* dir = fdopendir(copy);
  if (!dir) {
    close(copy);
    return false;
  }
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (fstatat(fd, e->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
    entries.push_back({std::move(name), S_ISDIR(info.st_mode)});
  }
  closedir(dir);
  return true;
}

// Opens the folder name below parent (or the path itself with AT_FDCWD), never through a link.
platform::UniqueFd OpenFolder(int parent, const char* name) {
  return platform::UniqueFd(openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Empties the open folder fd and reports whether it is empty now.
bool EmptyFolder(int fd, int depth) {
  if (depth > kMaxFolderDepth) return false;
  std::vector<Entry> entries;
  if (!ListFolder(fd, entries)) return false;
  // Our own folder may have lost its write permission; its entries cannot go without it.
  struct stat self {};
  if (fstat(fd, &self) == 0 && self.st_uid == geteuid() && (self.st_mode & S_IRWXU) != S_IRWXU) {
    fchmod(fd, (self.st_mode & 07777) | S_IRWXU);
  }
  for (const Entry& entry : entries) {
    if (entry.folder) {
      if (entry.name.front() == '.') continue;
      platform::UniqueFd sub = OpenFolder(fd, entry.name.c_str());
      if (!sub || !EmptyFolder(sub.get(), depth + 1)) return false;
      if (unlinkat(fd, entry.name.c_str(), AT_REMOVEDIR) != 0) return false;
    } else if (unlinkat(fd, entry.name.c_str(), 0) != 0 && errno != ENOENT) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool RemoveFolderTree(const std::string& path) {
  if (path.empty()) return false;
  platform::UniqueFd fd = OpenFolder(AT_FDCWD, path.c_str());
  if (!fd || !EmptyFolder(fd.get(), 0)) return false;
  fd.Close();
  return rmdir(path.c_str()) == 0;
}

bool RemoveEntry(const std::string& path) {
  if (path.empty()) return false;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  if (S_ISDIR(info.st_mode)) return RemoveFolderTree(path);
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}
