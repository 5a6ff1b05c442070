#pragma once
// Where skin files and images come from: a folder, or a ZIP archive that stands for one. Names use
// "/" or "\" between folders; names that climb out of the source ("..\user\a.png") and absolute
// paths are read from the disk, relative to the folder the source stands for.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

// Backslashes become slashes, "." and repeated slashes go, "a/../" folds; leading ".." stay.
// A path from "/" or from a drive ("C:/") keeps its root; ".." never climbs above it.
std::string NormalizePath(std::string_view path);
// Whether a normalized path starts at a root ("/" or a drive) rather than inside a skin.
bool IsAbsolutePath(std::string_view normalized);

class ResourceSource {
 public:
  virtual ~ResourceSource() = default;
  // The bytes of the named item; nothing when it is missing or unreadable.
  virtual std::optional<std::string> Read(std::string_view name) const = 0;
  // The disk path a name leads to when it is read from the disk; empty when it lies in an archive.
  virtual std::string DiskPath(std::string_view name) const = 0;
};

class FolderSource : public ResourceSource {
 public:
  explicit FolderSource(std::string folder);
  std::optional<std::string> Read(std::string_view name) const override;
  std::string DiskPath(std::string_view name) const override;

 private:
  std::string folder_;
};

// Null when the archive cannot be opened (or archives are not supported by this build).
std::unique_ptr<ResourceSource> OpenArchiveSource(const std::string& archivePath);

}  // namespace toolkit
