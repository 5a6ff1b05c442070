#pragma once
// ShellLinkMaker: the installer's shortcuts, each starting a program in its own folder: a link on
// the desktop, one on the quick-launch bar where the desktop has one, and the start menu's group of
// links gathered under the group's name. Each call returns success; the last failure's text stays
// in LastError (at first "成功"). The links are the desktop's own kind (shell_link_maker_<platform>):
// desktop entry files here, the shell's ".lnk" links on Windows.

#include <string>

// Whether the desktop has a quick-launch bar that MakeQuickLaunchLink could reach: on Windows, whether
// the user's bar folder is there (systems since Windows 7 make it only for a user who turned the bar
// on). Without one the option is not offered.
bool HasQuickLaunch();

// Where the links go; an empty folder counts as one the system could not tell, or one the platform
// does not have.
struct ShortcutPlaces {
  std::string desktop;       // the desktop's icons
  std::string applications;  // the user's applications menu (the start menu's programs on Windows)
  std::string directories;   // the menu's directory files (the groups' names and icons); none on Windows
  std::string mergedMenus;   // menu files merged into the applications menu; none on Windows
  std::string quickLaunch;   // the quick-launch bar's links; Windows only

  // The user's own folders, as the desktop names them.
  static ShortcutPlaces ForUser();
};

class ShellLinkMaker {
 public:
  // The ending of a link's file: ".desktop" here, ".lnk" on Windows.
  static const char* const kExtension;

  explicit ShellLinkMaker(ShortcutPlaces places) : places_(std::move(places)) {}

  const std::string& LastError() const { return error_; }
  const ShortcutPlaces& Places() const { return places_; }

  // Writes the link at linkPath that starts target in its own folder, titled with the link's file
  // name without its ending. The link's folder must exist.
  bool CreateLink(const std::string& target, const std::string& linkPath);
  // name + kExtension on the desktop.
  bool MakeDesktopLink(const std::string& target, const std::string& name);
  // name + kExtension on the quick-launch bar; without one, always false with the missing-folder text.
  bool MakeQuickLaunchLink(const std::string& target, const std::string& name);
  // linkName + kExtension in the applications folder's sub-folder folderName (made when missing),
  // gathered in the menu group folderName with every other entry of that sub-folder.
  bool MakeProgramsLink(const std::string& target, const std::string& folderName, const std::string& linkName);

  // Where the links above land: the desktop's link, the group's folder and a link in it (empty when
  // the place is not known).
  std::string DesktopLinkPath(const std::string& name) const;
  std::string QuickLaunchLinkPath(const std::string& name) const;
  std::string GroupFolder(const std::string& folderName) const;
  std::string ProgramsLinkPath(const std::string& folderName, const std::string& linkName) const;
  // The group's menu file and directory file, and the id the menu knows an entry of the group by;
  // empty where the menu needs no such files (Windows).
  std::string MenuFile(const std::string& folderName) const;
  std::string DirectoryFile(const std::string& folderName) const;
  static std::string EntryId(const std::string& folderName, const std::string& linkName);

 private:
  bool Fail(const char* text);
  bool WriteGroup(const std::string& folderName);

  ShortcutPlaces places_;
  std::string error_ = "成功";
};

namespace shell_link_texts {
// The failure texts, the same on every platform.
inline constexpr const char* kNoLinkObject = "COM初始化失败";
inline constexpr const char* kNoFileInterface = "获取文件接口失败";
inline constexpr const char* kNotSaved = "创建快捷方式失败";
inline constexpr const char* kNoFolder = "获取系统AppData文件夹路径失败";
}  // namespace shell_link_texts
