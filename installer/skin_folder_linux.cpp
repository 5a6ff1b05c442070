#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "installer/skin_folder.h"
#include "platform/paths.h"

namespace {

bool Stat(int folderFd, const std::string& name, struct stat& info) {
  return fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace

SkinFolder::SkinFolder(std::string path) : path_(std::move(path)) {
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) unlink(path_.c_str());
  if (!platform::MakeFolderTree(path_)) return;
  fd_ = platform::UniqueFd(open(path_.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

void SkinFolder::RemoveLinksOnTheWay(const std::string& name) const {
  for (size_t end = name.find('/');; end = name.find('/', end + 1)) {
    std::string part = name.substr(0, end);
    struct stat info {};
    if (!Stat(fd_.get(), part, info)) return;
    if (S_ISLNK(info.st_mode)) unlinkat(fd_.get(), part.c_str(), 0);
    if (end == std::string::npos) return;
  }
}

void SkinFolder::MakeWritable(const std::string& name) const {
  struct stat info {};
  if (Stat(fd_.get(), name, info) && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
    fchmodat(fd_.get(), name.c_str(), (info.st_mode & 07777) | S_IWUSR, 0);
  }
}

void SkinFolder::RemoveFile(const std::string& name) const {
  struct stat info {};
  if (Stat(fd_.get(), name, info) && S_ISREG(info.st_mode)) unlinkat(fd_.get(), name.c_str(), 0);
}
