#include "common/zip/item_path.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "common/zip/made_folders.h"

namespace zip {

std::string WithSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool IsRooted(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

namespace {

// Calls visit with each component of path split at "/" and "\" (empty ones included) until one
// gives true; true then.
template <typename Visit>
bool AnyComponent(std::string_view path, Visit visit) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    if (visit(path.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'a' && x <= 'z' ? x - 'a' + 'A' : x) == (y >= 'a' && y <= 'z' ? y - 'a' + 'A' : y);
         });
}

// Windows takes these for devices whatever extension follows, and ignores spaces before the dot.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsIgnoringCase(stem, device)) return true;
  }
  if (stem.size() < 4) return false;
  const std::string_view prefix = stem.substr(0, 3);
  const std::string_view number = stem.substr(3);
  if (!EqualsIgnoringCase(prefix, "COM") && !EqualsIgnoringCase(prefix, "LPT")) return false;
  // A digit, or the superscript one, two or three in UTF-8.
  const bool digit = number.size() == 1 && number[0] >= '0' && number[0] <= '9';
  return digit || number == "\u00b9" || number == "\u00b2" || number == "\u00b3";
}

// The components of a relative path ("/" separators), without the empty and "." ones that name no step.
std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

}  // namespace

bool ClimbsOut(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return true;
  return AnyComponent(path, [](std::string_view part) { return part == ".."; });
}

bool HasSpecialName(std::string_view path) {
  return AnyComponent(path, [](std::string_view part) {
    if (part.empty() || part == ".") return false;
    return part.back() == '.' || part.back() == ' ' || part.find(':') != std::string_view::npos || IsDeviceName(part);
  });
}

bool IsContainedName(std::string_view name) {
  return !IsRooted(name) && !HasDriveLetter(name) && !ClimbsOut(name) && !HasSpecialName(name);
}

std::size_t ArchivePartOf(std::string_view target, std::string_view name) {
  if (!name.empty() && name.size() < target.size() && target.substr(target.size() - name.size()) == name &&
      target[target.size() - name.size() - 1] == '/') {
    return target.size() - name.size();
  }
  const std::size_t slash = target.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

std::optional<TargetPlace> PlaceTarget(int baseFd, MadeFolders& folders, const std::string& target,
                                       std::string_view name) {
  TargetPlace place;
  if (IsAbsoluteTarget(target)) {
    // The caller's own folder may be reached through links (a linked home folder); what the archive
    // named below it may not.
    const std::size_t split = ArchivePartOf(target, name);
    if (HasSpecialName(std::string_view(target).substr(split))) return std::nullopt;
    place.callerFolder = OpenFolder(target.substr(0, split));
    if (!place.callerFolder) return std::nullopt;
    place.folder = place.callerFolder.get();
    place.below = target.substr(split);
    return place;
  }
  // Folders are made only below the base folder; an absolute target's folder must exist already.
  // The file itself is still opened from the base folder along its whole path, so that a folder
  // moved or swapped for a link since it was made never takes it elsewhere.
  if (HasSpecialName(target)) return std::nullopt;
  const std::size_t slash = target.rfind('/');
  if (slash != std::string::npos && folders.Open(baseFd, std::string_view(target).substr(0, slash)) < 0) {
    return std::nullopt;
  }
  place.folder = baseFd;
  place.below = target;
  return place;
}

std::optional<LastStep> EnterFoldersOf(int baseFd, std::string_view path) {
  std::vector<std::string> parts = Components(path);
  if (parts.empty()) {
    errno = ENOENT;
    return std::nullopt;
  }
  LastStep step;
  step.folder = baseFd;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    step.entered = EnterFolder(step.folder, parts[i]);
    if (!step.entered) return std::nullopt;
    step.folder = step.entered.get();
  }
  step.name = std::move(parts.back());
  return step;
}

bool MakeFolders(int baseFd, std::string_view folder) {
  MadeFolders made;
  return made.Open(baseFd, folder) >= 0;
}

}  // namespace zip
