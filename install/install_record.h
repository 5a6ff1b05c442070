#pragma once
// InstallRecord: what Setup wrote, kept as "install.record" beside the programs, so that the
// removal program removes exactly that and keeps everything else in the folder. One line per path:
// its kind, a tab, the path. Paths in the program folder are relative to it; the desktop and menu
// entries and the system-wide device rule are absolute.
//
// The record is read with bounds, and one that names anything outside the places an installation
// writes to (or the user's own data) is refused whole: a changed record must never turn the removal
// against other files.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/shell_link_maker.h"

enum class RecordKind {
  File,    // a file (or link) removed by its name
  Folder,  // a folder removed only when it is empty
  Rule,    // the system-wide device rule, which takes the superuser to remove
};

struct RecordedPath {
  RecordKind kind;
  std::string path;  // relative: below the program folder; absolute: an entry or the rule
  bool operator==(const RecordedPath&) const = default;
};

// Where the paths of a record may lie.
struct RecordPlaces {
  std::string programFolder;              // absolute, without a trailing "/"
  std::vector<std::string> entryFolders;  // the shortcut folders the entries below are resolved in
  // The only absolute paths a record may name besides the rule: the entries an installation makes,
  // each below one of entryFolders. (A desktop folder may be the home folder itself.)
  std::vector<std::string> entries;
  std::string systemRule;  // the one system-wide file; empty: none allowed
};

class InstallRecord {
 public:
  static constexpr const char* kFileName = "install.record";
  static constexpr const char* kHeader = "VymeraInstallRecord 1";
  static constexpr size_t kMaxBytes = size_t{256} << 10;
  static constexpr size_t kMaxPaths = 4096;
  static constexpr size_t kMaxPathBytes = 4096;

  // Adds a path once; a later duplicate is ignored.
  void Add(RecordKind kind, std::string path);
  const std::vector<RecordedPath>& Paths() const { return paths_; }
  bool Empty() const { return paths_.empty(); }

  // The record's text: the header, then one line per path.
  std::string Text() const;
  // The record in text; nothing when it is malformed, too large, or any path lies outside places.
  static std::optional<InstallRecord> Parse(std::string_view text, const RecordPlaces& places);

  // The record beside the programs in places.programFolder; nothing when it is missing or refused.
  static std::optional<InstallRecord> Load(const RecordPlaces& places);
  // Replaces the record in programFolder atomically, readable by its owner only.
  bool Save(const std::string& programFolder) const;

 private:
  std::vector<RecordedPath> paths_;
};

// True when a path relative to the program folder is the user's own data or the removal program
// itself, which no record may name: the user list, the settings, the pictures, Dismantor, the record.
bool IsKeptInProgramFolder(std::string_view relative);

// The absolute path of a recorded path.
std::string RecordedLocation(const RecordedPath& recorded, const std::string& programFolder);

// Where an install record of programFolder may reach: the program folder, the shortcut folders and
// the system-wide device rule in the folder systemRules (empty: none).
RecordPlaces RecordPlacesFor(const std::string& programFolder, const ShortcutPlaces& shortcuts,
                             const std::string& systemRules);
