// The links are desktop entry files. A link on the desktop is an entry in the desktop's folder; the
// start menu's group is a folder of entries in the applications menu with a menu and a directory
// file that gather them under the group's name. There is no quick-launch bar: that link always fails.
#include "install/shell_link_maker.h"

#include <dirent.h>

#include <algorithm>
#include <vector>

#include "platform/desktop_entry.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/special_folders.h"

const char* const ShellLinkMaker::kExtension = ".desktop";

namespace {

using namespace shell_link_texts;

// The client's picture, unpacked with the skins next to the programs.
constexpr const char* kIcon = "res/logo_small.png";

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string EntryName(const std::string& linkPath) {
  std::string name = linkPath.substr(linkPath.rfind('/') + 1);
  std::string_view extension = ShellLinkMaker::kExtension;
  if (name.size() > extension.size() && name.ends_with(extension)) name.resize(name.size() - extension.size());
  return name;
}

std::string XmlText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '&')
      escaped += "&amp;";
    else if (c == '<')
      escaped += "&lt;";
    else if (c == '>')
      escaped += "&gt;";
    else
      escaped.push_back(c);
  }
  return escaped;
}

// The entries of folder, sorted, so the group lists them in a stable order.
std::vector<std::string> EntriesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      std::string_view extension = ShellLinkMaker::kExtension;
      if (name.size() > extension.size() && name.ends_with(extension)) names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// No desktop of this platform has a quick-launch bar.
bool HasQuickLaunch() { return false; }

ShortcutPlaces ShortcutPlaces::ForUser() {
  ShortcutPlaces places;
  places.desktop = platform::DesktopFolder();
  std::string data = platform::DataHome();
  if (!data.empty()) {
    places.applications = platform::JoinPath(data, "applications");
    places.directories = platform::JoinPath(data, "desktop-directories");
  }
  std::string config = platform::ConfigHome();
  if (!config.empty()) places.mergedMenus = platform::JoinPath(config, "menus/applications-merged");
  return places;
}

bool ShellLinkMaker::CreateLink(const std::string& target, const std::string& linkPath) {
  platform::DesktopEntry entry;
  entry.name = EntryName(linkPath);
  entry.program = target;
  entry.folder = FolderOf(target);
  if (!entry.folder.empty()) entry.icon = platform::JoinPath(entry.folder, kIcon);
  std::optional<std::string> text = platform::DesktopEntryText(entry);
  if (!text || target.front() != '/') return Fail(kNoLinkObject);
  if (!platform::IsFolder(FolderOf(linkPath))) return Fail(kNoFileInterface);
  // Desktops start only entries that may be run.
  platform::AtomicFileWriter file(linkPath);
  if (!file.SetMode(0755) || !file.Write(*text) || !file.Commit()) return Fail(kNotSaved);
  return true;
}

bool ShellLinkMaker::MakeDesktopLink(const std::string& target, const std::string& name) {
  if (places_.desktop.empty() || !platform::IsFolder(places_.desktop)) return Fail(kNoFolder);
  return CreateLink(target, DesktopLinkPath(name));
}

bool ShellLinkMaker::MakeQuickLaunchLink(const std::string&, const std::string&) { return Fail(kNoFolder); }

bool ShellLinkMaker::MakeProgramsLink(const std::string& target, const std::string& folderName,
                                      const std::string& linkName) {
  if (places_.applications.empty() || places_.directories.empty() || places_.mergedMenus.empty()) {
    return Fail(kNoFolder);
  }
  platform::MakeFolderTree(GroupFolder(folderName));
  if (!CreateLink(target, ProgramsLinkPath(folderName, linkName))) return false;
  return WriteGroup(folderName);
}

std::string ShellLinkMaker::MenuFile(const std::string& folderName) const {
  return platform::JoinPath(places_.mergedMenus, folderName + ".menu");
}

std::string ShellLinkMaker::DirectoryFile(const std::string& folderName) const {
  return platform::JoinPath(places_.directories, folderName + ".directory");
}

std::string ShellLinkMaker::EntryId(const std::string& folderName, const std::string& linkName) {
  // Entries in a sub-folder of the applications folder are known by the path with "-" for "/".
  return folderName + "-" + linkName + kExtension;
}

bool ShellLinkMaker::WriteGroup(const std::string& folderName) {
  if (folderName.find_first_of("\n\r") != std::string::npos) return Fail(kNotSaved);
  std::string directory = "[Desktop Entry]\nType=Directory\nVersion=1.0\nName=" + folderName + "\n";
  std::string menu =
      "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
      "<Menu>\n"
      "  <Name>Applications</Name>\n"
      "  <Menu>\n"
      "    <Name>" +
      XmlText(folderName) +
      "</Name>\n"
      "    <Directory>" +
      XmlText(folderName) +
      ".directory</Directory>\n"
      "    <Include>\n";
  for (const std::string& entry : EntriesIn(platform::JoinPath(places_.applications, folderName))) {
    menu += "      <Filename>" + XmlText(folderName + "-" + entry) + "</Filename>\n";
  }
  menu += "    </Include>\n  </Menu>\n</Menu>\n";
  bool ok = platform::MakeFolderTree(places_.directories) && platform::MakeFolderTree(places_.mergedMenus) &&
            platform::WriteFileAtomically(DirectoryFile(folderName), directory) &&
            platform::WriteFileAtomically(MenuFile(folderName), menu);
  return ok || Fail(kNotSaved);
}
