#include "installer/skin_unpacker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/zip/item_path.h"
#include "common/zip/zip_extractor.h"
#include "install/install_items.h"
#include "platform/paths.h"

namespace {

// A file (never what a link points at) gets its owner's write bit back.
void MakeWritable(int folderFd, const std::string& name) {
  struct stat info {};
  if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
      (info.st_mode & S_IWUSR) == 0) {
    fchmodat(folderFd, name.c_str(), (info.st_mode & 07777) | S_IWUSR, 0);
  }
}

// Removes every link that stands on the way to name (a path below the folder open as folderFd, "/"
// separators), its own place included, so that what follows lands in real folders and files.
void RemoveLinksOnTheWay(int folderFd, const std::string& name) {
  for (size_t end = name.find('/');; end = name.find('/', end + 1)) {
    std::string part = name.substr(0, end);
    struct stat info {};
    if (fstatat(folderFd, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (S_ISLNK(info.st_mode)) unlinkat(folderFd, part.c_str(), 0);
    if (end == std::string::npos) return;
  }
}

// The folders below the skin folder that hold name, nearest the top first ("a", "a/b" for "a/b/c").
std::vector<std::string> FoldersOf(const std::string& name) {
  std::vector<std::string> folders;
  for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    folders.push_back(name.substr(0, slash));
  }
  return folders;
}

class Unpacker {
 public:
  Unpacker(const std::string& programFolder, const std::atomic<bool>* cancel)
      : skins_(platform::JoinPath(programFolder, install_items::kSkinFolder)), cancel_(cancel) {
    archivePath_ = platform::JoinPath(programFolder, install_items::kSkinArchive.fileName);
  }

  SkinUnpacking Run() {
    if (OpenAll()) {
      ZipItem count;
      std::int32_t items = archive_.GetItem(-1, count) == ZipResult::kOk ? count.index : (Fail(archivePath_), 0);
      for (std::int32_t i = 0; i < items; ++i) {
        if (cancel_ && *cancel_) {
          done_.cancelled = true;
          break;
        }
        if (!UnpackItem(i)) break;
      }
    }
    if (archive_.IsOpen()) archive_.CloseArchive();
    return std::move(done_);
  }

 private:
  // The skin folder made (a link in its place replaced) and open, and the archive open.
  bool OpenAll() {
    struct stat info {};
    if (lstat(skins_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) unlink(skins_.c_str());
    if (!platform::MakeFolderTree(skins_)) return Fail(skins_);
    done_.folders.push_back(install_items::kSkinFolder);
    skinsFd_ = platform::UniqueFd(open(skins_.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!skinsFd_) return Fail(skins_);
    return archive_.OpenArchive(archivePath_) == ZipResult::kOk || Fail(archivePath_);
  }

  bool UnpackItem(std::int32_t index) {
    ZipItem item;
    if (archive_.GetItem(index, item) != ZipResult::kOk || !zip::IsContainedName(item.name)) {
      return Fail(archivePath_);
    }
    std::string name = zip::WithSlashes(item.name);
    while (name.ends_with('/')) name.pop_back();
    if (name.empty()) return true;
    std::string target = platform::JoinPath(skins_, name);
    RemoveLinksOnTheWay(skinsFd_.get(), name);
    if (item.IsDirectory()) {
      // The extractor makes a directory item below the folder current at opening, which is not ours.
      if (!zip::MakeFolders(skinsFd_.get(), name)) return Fail(target);
      Note(name + "/");
      return true;
    }
    MakeWritable(skinsFd_.get(), name);
    if (archive_.ExtractItem(index, target) != ZipResult::kOk) {
      // A file cut short is worse than none: it would be taken for the whole one.
      struct stat info {};
      if (fstatat(skinsFd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
        unlinkat(skinsFd_.get(), name.c_str(), 0);
      }
      return Fail(target);
    }
    Note(name);
    return true;
  }

  // Records the item (a folder when it ends in "/") and the folders that hold it.
  void Note(const std::string& name) {
    std::string prefix = std::string(install_items::kSkinFolder) + "/";
    for (const std::string& folder : FoldersOf(name)) done_.folders.push_back(prefix + folder);
    if (!name.ends_with('/')) done_.files.push_back(prefix + name);
  }

  bool Fail(const std::string& path) {
    done_.failed = path;
    return false;
  }

  std::string skins_;
  std::string archivePath_;
  const std::atomic<bool>* cancel_;
  platform::UniqueFd skinsFd_;
  ZipExtractor archive_;
  SkinUnpacking done_;
};

}  // namespace

SkinUnpacking UnpackSkins(const std::string& programFolder, const std::atomic<bool>* cancel) {
  return Unpacker(programFolder, cancel).Run();
}
