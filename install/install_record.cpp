#include "install/install_record.h"

#include <algorithm>

#include "install/install_items.h"
#include "install/install_names.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kKindNames[] = {"file", "folder", "rule"};

std::optional<RecordKind> KindNamed(std::string_view name) {
  for (size_t i = 0; i < std::size(kKindNames); ++i) {
    if (kKindNames[i] == name) return static_cast<RecordKind>(i);
  }
  return std::nullopt;
}

// The length of an absolute path's root: "/" here, "C:/" on Windows; 0 for a relative path.
size_t RootLength(std::string_view path) {
  if (!path.empty() && path.front() == '/') return 1;
  bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive && path[1] == ':' && path[2] == '/' ? 3 : 0;
}

// A path of plain components: no empty, "." or ".." one and no control character, so that what is
// checked is what the system will resolve. Nor anything Windows reads as more than a name: a
// backslash (a separator there), a colon after the root (a stream of the file, "x.xml::$DATA"),
// or a trailing dot or blank (dropped, so "userinfoset.xml." is the user list). Setup writes none.
bool IsPlainPath(std::string_view path) {
  if (path.empty() || path.size() > InstallRecord::kMaxPathBytes) return false;
  if (std::any_of(path.begin(), path.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\';
      })) {
    return false;
  }
  std::string_view rest = path.substr(RootLength(path));
  while (true) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    if (part.empty() || part == "." || part == ".." || part.find(':') != std::string_view::npos) return false;
    if (part.back() == '.' || part.back() == ' ') return false;
    if (slash == std::string_view::npos) return true;
    rest.remove_prefix(slash + 1);
  }
}

bool IsBelow(std::string_view path, std::string_view folder) {
  return RootLength(folder) > 0 && path.size() > folder.size() + 1 && path.starts_with(folder) &&
         path[folder.size()] == '/';
}

bool IsAllowed(const RecordedPath& recorded, const RecordPlaces& places) {
  const std::string& path = recorded.path;
  if (!IsPlainPath(path)) return false;
  if (recorded.kind == RecordKind::Rule) return !places.systemRule.empty() && path == places.systemRule;
  if (RootLength(path) == 0) return !IsKeptInProgramFolder(path);
  return std::find(places.entries.begin(), places.entries.end(), path) != places.entries.end() &&
         std::any_of(places.entryFolders.begin(), places.entryFolders.end(),
                     [&](const std::string& folder) { return IsBelow(path, folder); });
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

bool IsKeptInProgramFolder(std::string_view relative) {
  using namespace install_items;
  // Without case: on Windows "UserInfoSet.xml" is the user list.
  auto is = [](std::string_view a, std::string_view b) { return platform::EqualsIgnoringAsciiCase(a, b); };
  std::string_view first = relative.substr(0, relative.find('/'));
  return is(first, kUserFolder) || is(relative, kUserList.fileName) || is(relative, kSettings.fileName) ||
         is(relative, kRemoval.fileName) || is(relative, InstallRecord::kFileName);
}

std::string RecordedLocation(const RecordedPath& recorded, const std::string& programFolder) {
  return RootLength(recorded.path) > 0 ? recorded.path : platform::JoinPath(programFolder, recorded.path);
}

void InstallRecord::Add(RecordKind kind, std::string path) {
  RecordedPath recorded{kind, std::move(path)};
  if (std::find(paths_.begin(), paths_.end(), recorded) == paths_.end()) paths_.push_back(std::move(recorded));
}

std::string InstallRecord::Text() const {
  std::string text = std::string(kHeader) + "\n";
  for (const RecordedPath& recorded : paths_) {
    text += kKindNames[static_cast<size_t>(recorded.kind)];
    text += '\t';
    text += recorded.path;
    text += '\n';
  }
  return text;
}

std::optional<InstallRecord> InstallRecord::Parse(std::string_view text, const RecordPlaces& places) {
  if (text.size() > kMaxBytes || !text.ends_with('\n')) return std::nullopt;
  InstallRecord record;
  bool header = true;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (header) {
      if (line != kHeader) return std::nullopt;
      header = false;
      continue;
    }
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    std::optional<RecordKind> kind = KindNamed(line.substr(0, tab));
    RecordedPath recorded{kind.value_or(RecordKind::File), std::string(line.substr(tab + 1))};
    if (!kind || !IsAllowed(recorded, places) || record.paths_.size() >= kMaxPaths) return std::nullopt;
    record.Add(recorded.kind, std::move(recorded.path));
  }
  if (header) return std::nullopt;
  return record;
}

std::optional<InstallRecord> InstallRecord::Load(const RecordPlaces& places) {
  if (places.programFolder.empty()) return std::nullopt;
  std::optional<std::string> text =
      platform::ReadWholeFile(platform::JoinPath(places.programFolder, kFileName), kMaxBytes);
  if (!text) return std::nullopt;
  return Parse(*text, places);
}

bool InstallRecord::Save(const std::string& programFolder) const {
  return platform::WriteFileAtomically(platform::JoinPath(programFolder, kFileName), Text(),
                                       platform::FileAccess::OwnerOnly);
}

RecordPlaces RecordPlacesFor(const std::string& programFolder, const ShortcutPlaces& shortcuts,
                             const std::string& systemRules) {
  RecordPlaces places;
  places.programFolder = WithoutTrailingSlash(programFolder);
  for (const std::string* folder :
       {&shortcuts.desktop, &shortcuts.applications, &shortcuts.directories, &shortcuts.mergedMenus}) {
    if (!folder->empty()) places.entryFolders.push_back(WithoutTrailingSlash(*folder));
  }
  ShortcutPlaces folders = shortcuts;
  for (std::string* folder : {&folders.desktop, &folders.applications, &folders.directories, &folders.mergedMenus}) {
    *folder = WithoutTrailingSlash(*folder);
  }
  ShellLinkMaker links(folders);
  using namespace installation;
  for (std::string entry :
       {links.DesktopLinkPath(kClientLink), links.GroupFolder(kMenuGroup), links.ProgramsLinkPath(kMenuGroup, kClientLink),
        links.ProgramsLinkPath(kMenuGroup, kRemovalLink), links.MenuFile(kMenuGroup), links.DirectoryFile(kMenuGroup)}) {
    if (!entry.empty()) places.entries.push_back(std::move(entry));
  }
  if (!systemRules.empty()) {
    places.systemRule = platform::JoinPath(WithoutTrailingSlash(systemRules), install_items::kHidSupport.fileName);
  }
  return places;
}
