// Skins read from a ZIP archive that stands for a folder of the same path.
#include "common/zip/zip_archive.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "toolkit/skin/resource_source.h"

namespace toolkit {
namespace {

class ArchiveSource : public ResourceSource {
 public:
  ArchiveSource(std::string path, std::unique_ptr<ZipArchive> archive)
      : path_(NormalizePath(path)), archive_(std::move(archive)) {}

  std::optional<std::string> Read(std::string_view name) const override {
    std::string n = NormalizePath(name);
    if (n.empty()) return std::nullopt;
    if (Inside(n)) return archive_->ReadItem(n);
    return platform::ReadWholeFile(DiskPath(name));
  }

  std::string DiskPath(std::string_view name) const override {
    std::string n = NormalizePath(name);
    if (IsAbsolutePath(n)) return n;
    if (Inside(n)) return {};
    return NormalizePath(platform::JoinPath(path_, n));
  }

 private:
  static bool Inside(const std::string& n) { return !IsAbsolutePath(n) && n != ".." && n.rfind("../", 0) != 0; }

  std::string path_;
  std::unique_ptr<ZipArchive> archive_;
};

}  // namespace

std::unique_ptr<ResourceSource> OpenArchiveSource(const std::string& archivePath) {
  auto archive = ZipArchive::Open(archivePath);
  if (!archive) return nullptr;
  return std::make_unique<ArchiveSource>(archivePath, std::move(archive));
}

}  // namespace toolkit
