#pragma once
// A small ZIP writer for tests: builds archives byte by byte so that each field can be made wrong on
// purpose, plus helpers around the real archivers installed on the machine.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zip_test {

inline constexpr std::uint32_t kUnixFile0644 = 0100644u << 16;
inline constexpr std::uint32_t kUnixFile0444 = 0100444u << 16;
inline constexpr std::uint16_t kMadeOnUnix = 0x031E;
inline constexpr std::uint16_t kMadeOnDos = 0x0014;

struct Entry {
  std::string name;  // stored bytes
  std::string data;
  std::uint16_t method = 8;  // 8 deflates data with zlib, anything else stores it as given
  std::uint16_t flags = 0;
  std::uint16_t versionMadeBy = kMadeOnUnix;
  std::uint32_t externalAttributes = kUnixFile0644;
  std::uint32_t dosDateTime = 0x5A8C6000;  // 2025-04-12 12:00:00
  std::string localExtra;
  // Deliberate damage: values written instead of the true ones.
  std::optional<std::uint32_t> crc;             // in both headers
  std::optional<std::uint32_t> localCrc;        // in the local header only
  std::optional<std::uint16_t> localMethod;
  std::optional<std::uint16_t> localNameLength;
  std::optional<std::uint32_t> uncompressedSize;  // in both headers
  std::optional<std::size_t> truncateDataTo;      // stored bytes cut after this many
  // The central record points here instead, and the entry writes no local header or data of its
  // own: directory entries laid over bytes that belong to another entry.
  std::optional<std::uint32_t> localHeaderOffset;
};

struct Layout {
  std::string prefix;   // bytes in front of the archive; stored offsets do not count them
  std::string trailer;  // bytes after the end record
  std::uint16_t thisDisk = 0;
  std::uint16_t directoryDisk = 0;
  std::optional<std::uint16_t> entriesOnThisDisk;
  std::optional<std::uint32_t> directoryOffset;
};

// The archive holding entries, laid out as layout says.
std::string BuildZip(const std::vector<Entry>& entries, const Layout& layout = {});

// The local header and stored data of an item named name holding data, as it would stand inside an
// archive: for an entry that carries another entry's header inside its own data.
std::string LocalRecord(const std::string& name, const std::string& data);

// An extended timestamp block ("UT") with the given flags and times, in that order.
std::string ExtendedTimestamp(std::uint8_t flags, const std::vector<std::uint32_t>& times);

// Runs a shell command line; true when it exits with status 0.
bool Run(const std::string& commandLine);

// Makes link a symbolic link to the folder or file target. On Windows a folder link that cannot be
// a symbolic link (no privilege for one) is made a junction. False when the system can make none:
// Wine 8 reports symbolic links made that are not there and has no junctions.
bool MakeFolderLink(const std::string& target, const std::string& link);
bool MakeFileLink(const std::string& target, const std::string& link);

// True when path is a link itself (on Windows, any reparse point), whatever it points at.
bool IsLink(const std::string& path);

// Why a test that needs links is skipped where they cannot be made.
inline constexpr char kNoLinks[] = "this system makes neither symbolic links nor junctions (Wine)";

}  // namespace zip_test

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/zip/zip_extractor.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

namespace zip_test {

// Runs each test inside a fresh folder of its own, the base folder the extractor unpacks into.
class InTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::filesystem::create_directory(Path("work"));
    std::filesystem::current_path(Path("work"));
  }
  void TearDown() override { std::filesystem::current_path(saved_); }

  // A path beside the base folder: archives are kept out of what is unpacked.
  std::string Path(const std::string& name) const { return temp_.File(name); }
  std::string Work(const std::string& name) const { return temp_.File("work/" + name); }

  // Writes an archive beside the base folder and returns its path.
  std::string Archive(const std::string& bytes, const std::string& name = "test.zip") const {
    platform::WriteFileAtomically(Path(name), bytes);
    return Path(name);
  }

  // Unpacks every item under its own name, as the installer does; returns the codes in order.
  static std::vector<ZipResult> ExtractAll(const std::string& archive) {
    std::vector<ZipResult> results;
    ZipExtractor zip;
    if (zip.OpenArchive(archive) != ZipResult::kOk) return results;
    ZipItem count;
    zip.GetItem(-1, count);
    for (int i = 0; i < count.index; ++i) {
      ZipItem item;
      zip.GetItem(i, item);
      results.push_back(zip.ExtractItem(i, item.name));
    }
    EXPECT_EQ(zip.CloseArchive(), ZipResult::kOk);
    return results;
  }

  // Everything below folder, as relative paths with "/" separators.
  static std::vector<std::string> Tree(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      names.push_back(std::filesystem::relative(entry.path(), folder).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  testing_support::TempFolder temp_;
  std::filesystem::path saved_;
};

}  // namespace zip_test
