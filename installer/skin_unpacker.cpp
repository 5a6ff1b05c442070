#include "installer/skin_unpacker.h"

#include <optional>

#include "common/zip/item_path.h"
#include "common/zip/zip_extractor.h"
#include "install/install_items.h"
#include "installer/skin_folder.h"
#include "platform/paths.h"

namespace {

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
    folder_.emplace(skins_);
    if (!platform::IsFolder(skins_)) return Fail(skins_);
    done_.folders.push_back(install_items::kSkinFolder);
    if (!folder_->IsOpen()) return Fail(skins_);
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
    folder_->RemoveLinksOnTheWay(name);
    if (item.IsDirectory()) {
      // The extractor makes a directory item below the folder current at opening, which is not ours.
      if (!zip::MakeFolders(folder_->Descriptor(), name)) return Fail(target);
      Note(name + "/");
      return true;
    }
    folder_->MakeWritable(name);
    if (archive_.ExtractItem(index, target) != ZipResult::kOk) {
      // A file cut short is worse than none: it would be taken for the whole one.
      folder_->RemoveFile(name);
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
  std::optional<SkinFolder> folder_;
  ZipExtractor archive_;
  SkinUnpacking done_;
};

}  // namespace

SkinUnpacking UnpackSkins(const std::string& programFolder, const std::atomic<bool>* cancel) {
  return Unpacker(programFolder, cancel).Run();
}
