#include "installer/skin_unpacker.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "common/zip/item_path.h"
#include "common/zip/zip_extractor.h"
#include "installer/install_items.h"
#include "platform/paths.h"

namespace {

// A file (never what a link points at) gets its owner's write bit back.
void MakeWritable(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
    chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR);
  }
}

}  // namespace

bool UnpackSkins(const std::string& programFolder) {
  ZipExtractor archive;
  bool opened =
      archive.OpenArchive(platform::JoinPath(programFolder, install_items::kSkinArchive.fileName)) == ZipResult::kOk;
  std::string skins = platform::JoinPath(programFolder, install_items::kSkinFolder);
  platform::MakeFolderTree(skins);
  if (!opened) return false;
  platform::UniqueFd skinsFd(open(skins.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  ZipItem count;
  if (archive.GetItem(-1, count) != ZipResult::kOk) return true;
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipItem item;
    if (archive.GetItem(i, item) != ZipResult::kOk || !zip::IsContainedName(item.name)) continue;
    std::string name = zip::WithSlashes(item.name);
    // The extractor makes a directory item below the folder current at opening, which is not ours.
    if (item.IsDirectory()) {
      if (skinsFd) zip::MakeFolders(skinsFd.get(), name);
      continue;
    }
    std::string target = platform::JoinPath(skins, name);
    MakeWritable(target);
    archive.ExtractItem(i, target);
  }
  archive.CloseArchive();
  return true;
}
