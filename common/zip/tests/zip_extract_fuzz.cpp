// Fuzzes the whole reader: opens an archive made of the input, describes and extracts every item,
// and reads each by name into memory. Beyond crashes, leaks and hangs it checks that nothing was
// written outside the folder the items are unpacked into and that no symbolic link was made.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "common/zip/zip_archive.h"
#include "common/zip/zip_extractor.h"

namespace {

namespace fs = std::filesystem;

// Items larger than this are described but not written, so that one input cannot fill the disk.
constexpr std::uint32_t kMaxExtractBytes = 1 << 20;
constexpr int kMaxItems = 64;

// root/archive.zip beside root/a/b/work: anything climbing out of work lands where it shows.
struct Layout {
  fs::path root;
  fs::path work;
};

void RemoveRoot();

const Layout& Folders() {
  // Never destroyed, so that the removal at exit still finds it.
  static const Layout* layout = [] {
    // A folder of this process's own: made here, so no other had it.
    std::random_device seed;
    fs::path root;
    for (int attempt = 0; attempt < 100 && root.empty(); ++attempt) {
      const fs::path candidate = fs::temp_directory_path() / ("vymera-zipfuzz-" + std::to_string(seed()));
      std::error_code ec;
      if (fs::create_directory(candidate, ec)) root = candidate;
    }
    if (root.empty()) std::abort();
    std::atexit(RemoveRoot);
    return new Layout{root, root / "a" / "b" / "work"};
  }();
  return *layout;
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
  return names;
}

void CheckNothingEscaped(const Layout& layout) {
  const bool contained = Entries(layout.root) == std::set<std::string>{"a", "archive.zip"} &&
                         Entries(layout.root / "a") == std::set<std::string>{"b"} &&
                         Entries(layout.root / "a" / "b") == std::set<std::string>{"work"};
  if (!contained) {
    std::fprintf(stderr, "an item was written outside the unpack folder\n");
    std::abort();
  }
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(layout.work, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_symlink()) {
      std::fprintf(stderr, "a symbolic link was created: %s\n", it->path().string().c_str());
      std::abort();
    }
  }
}

// Items come out read-only; the folder must be emptied all the same.
void Empty(const fs::path& folder) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
  }
  fs::remove_all(folder, ec);
}

void RemoveRoot() {
  Empty(Folders().root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Layout& layout = Folders();
  const std::string archivePath = (layout.root / "archive.zip").string();
  {
    std::ofstream out(archivePath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::create_directories(layout.work);
  const fs::path saved = fs::current_path();
  fs::current_path(layout.work);

  ZipExtractor zip;
  if (zip.OpenArchive(archivePath) == ZipResult::kOk) {
    ZipItem count;
    zip.GetItem(-1, count);
    auto archive = ZipArchive::Open(archivePath);
    for (int i = 0; i < count.index && i < kMaxItems; ++i) {
      ZipItem item;
      if (zip.GetItem(i, item) != ZipResult::kOk) continue;
      if (item.uncompressedSize <= kMaxExtractBytes) {
        // Both ways callers name targets: relative to the base folder, and absolute inside it.
        // Joined as text: a path object would take the UTF-8 name for the system's code page on Windows.
        const std::string target = i % 2 == 0 ? item.name : layout.work.generic_string() + "/" + item.name;
        zip.ExtractItem(i, target);
        if (archive) archive->ReadItem(item.name);
      }
    }
    // Walking back exercises the rewind.
    ZipItem first;
    if (count.index > 0) zip.GetItem(0, first);
    zip.CloseArchive();
  }
  fs::current_path(saved);
  CheckNothingEscaped(layout);
  Empty(layout.work);
  return 0;
}
