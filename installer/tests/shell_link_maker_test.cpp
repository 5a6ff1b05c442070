// Shortcuts as desktop entries: where the desktop is, the texts of each failure, and targets the
// format must quote.
#include "install/shell_link_maker.h"

#include <gtest/gtest.h>

#include "installer/tests/install_rig.h"
#include "platform/special_folders.h"

using namespace installer_testing;

namespace {

TEST(DesktopFolder, FollowsUserDirsThenTheVariableThenHome) {
  TempHome home;
  Environment env;
  EXPECT_EQ(platform::DesktopFolder(), home.File("Desktop"));
  env.Set("XDG_DESKTOP_DIR", home.File("Variable"));
  EXPECT_EQ(platform::DesktopFolder(), home.File("Variable"));
  ASSERT_TRUE(platform::MakeFolderTree(home.Config()));
  platform::WriteFileAtomically(home.Config() + "/user-dirs.dirs",
                                "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
  EXPECT_EQ(platform::DesktopFolder(), home.File("桌面"));
  platform::WriteFileAtomically(home.Config() + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/srv/desk/\"\n");
  EXPECT_EQ(platform::DesktopFolder(), "/srv/desk");
  // A value the format does not allow is not guessed at.
  platform::WriteFileAtomically(home.Config() + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"Desk\"\n");
  EXPECT_EQ(platform::DesktopFolder(), home.File("Variable"));
}

TEST(ShellLinkMaker, EachFailureLeavesItsText) {
  TempHome home;
  ShellLinkMaker links(ShortcutPlaces::ForUser());
  EXPECT_EQ(links.LastError(), "成功");
  EXPECT_TRUE(links.MakeDesktopLink("/opt/v/Vymera", "Vymera同步软件"));
  EXPECT_EQ(links.LastError(), "成功");

  EXPECT_FALSE(links.MakeQuickLaunchLink("/opt/v/Vymera", "Vymera同步软件"));
  EXPECT_EQ(links.LastError(), "获取系统AppData文件夹路径失败");
  EXPECT_FALSE(links.CreateLink("relative/Vymera", home.Desktop() + "/a.desktop"));
  EXPECT_EQ(links.LastError(), "COM初始化失败");
  EXPECT_FALSE(links.CreateLink("/opt/v/Vy\nmera", home.Desktop() + "/a.desktop"));
  EXPECT_EQ(links.LastError(), "COM初始化失败");
  EXPECT_FALSE(links.CreateLink("/opt/v/Vymera", home.File("missing/a.desktop")));
  EXPECT_EQ(links.LastError(), "获取文件接口失败");
  ASSERT_TRUE(platform::MakeFolderTree(home.Desktop() + "/taken.desktop"));
  EXPECT_FALSE(links.CreateLink("/opt/v/Vymera", home.Desktop() + "/taken.desktop"));
  EXPECT_EQ(links.LastError(), "创建快捷方式失败");
  EXPECT_FALSE(platform::PathExists(home.Desktop() + "/a.desktop"));

  ShortcutPlaces nowhere;
  ShellLinkMaker homeless(nowhere);
  EXPECT_FALSE(homeless.MakeDesktopLink("/opt/v/Vymera", "x"));
  EXPECT_EQ(homeless.LastError(), "获取系统AppData文件夹路径失败");
  EXPECT_FALSE(homeless.MakeProgramsLink("/opt/v/Vymera", "g", "x"));
  EXPECT_EQ(homeless.LastError(), "获取系统AppData文件夹路径失败");
}

TEST(ShellLinkMaker, NoDesktopFolderMeansNoDesktopLink) {
  TempHome home;
  ShortcutPlaces places = ShortcutPlaces::ForUser();
  places.desktop = home.File("NoDesktop");
  ShellLinkMaker links(places);
  EXPECT_FALSE(links.MakeDesktopLink("/opt/v/Vymera", "Vymera同步软件"));
  EXPECT_EQ(links.LastError(), "获取系统AppData文件夹路径失败");
  EXPECT_FALSE(platform::PathExists(places.desktop));
}

TEST(ShellLinkMaker, TargetsWithReservedCharactersAreQuoted) {
  TempHome home;
  ShellLinkMaker links(ShortcutPlaces::ForUser());
  ASSERT_TRUE(links.MakeProgramsLink("/home/a b/Vy&mera 100%/Vymera", "Vymera同步软件", "Vymera同步软件"));
  std::string entry = Read(home.Applications() + "/Vymera同步软件/Vymera同步软件.desktop");
  EXPECT_NE(entry.find("\nExec=\"/home/a b/Vy&mera 100%%/Vymera\"\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nPath=/home/a b/Vy&mera 100%\n"), std::string::npos) << entry;
  std::string menu = Read(links.MenuFile("Vymera同步软件"));
  EXPECT_NE(menu.find("<Filename>Vymera同步软件-Vymera同步软件.desktop</Filename>"), std::string::npos);
}

TEST(ShellLinkMaker, GroupNamesAreEscapedInTheMenu) {
  TempHome home;
  ShellLinkMaker links(ShortcutPlaces::ForUser());
  ASSERT_TRUE(links.MakeProgramsLink("/opt/v/Vymera", "A&B<C>", "x"));
  std::string menu = Read(links.MenuFile("A&B<C>"));
  EXPECT_NE(menu.find("<Name>A&amp;B&lt;C&gt;</Name>"), std::string::npos) << menu;
  EXPECT_NE(menu.find("<Filename>A&amp;B&lt;C&gt;-x.desktop</Filename>"), std::string::npos) << menu;
}

}  // namespace
