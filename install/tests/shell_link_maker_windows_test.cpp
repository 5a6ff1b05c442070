// The shell's links, made by the maker and read back through the shell's own link object.

#include <windows.h>
// After windows.h.
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <optional>

#include "install/shell_link_maker.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/wide_text.h"
#include "testing/temp_folder.h"

using namespace shell_link_texts;

namespace {

struct ResolvedLink {
  std::string target;
  std::string folder;
};

// What the shell reads from the link at path, in the programs' form.
std::optional<ResolvedLink> Resolve(const std::string& path) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return std::nullopt;
  std::optional<ResolvedLink> resolved;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(platform::Widen(path).c_str(), STGM_READ))) {
    wchar_t target[MAX_PATH] = L"";
    wchar_t folder[MAX_PATH] = L"";
    if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
        SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH))) {
      resolved = ResolvedLink{platform::NarrowPath(target), platform::NarrowPath(folder)};
    }
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return resolved;
}

class ShellLinkMakerWindows : public ::testing::Test {
 protected:
  void SetUp() override { Place("program folder"); }
  void Place(const std::string& folder) {
    program_ = root_.File(folder + "/Vymera.exe");
    ASSERT_TRUE(platform::MakeFolderTree(root_.File(folder)));
    ASSERT_TRUE(platform::WriteFileAtomically(program_, "MZ"));
    places_.desktop = root_.File("Desktop");
    places_.applications = root_.File("Start Menu/Programs");
    places_.quickLaunch = root_.File("Quick Launch");
    ASSERT_TRUE(platform::MakeFolderTree(places_.desktop));
  }
  testing_support::TempFolder root_;
  std::string program_;
  ShortcutPlaces places_;
};

TEST_F(ShellLinkMakerWindows, ALinkIsMadeAndResolvesToItsProgramStartedInItsFolder) {
  ShellLinkMaker links(places_);
  EXPECT_STREQ(ShellLinkMaker::kExtension, ".lnk");
  ASSERT_TRUE(links.MakeDesktopLink(program_, "Vymera同步软件")) << links.LastError();
  EXPECT_EQ(links.LastError(), "成功");
  std::string path = links.DesktopLinkPath("Vymera同步软件");
  EXPECT_EQ(path, places_.desktop + "/Vymera同步软件.lnk");
  // The shell's own format: its header size, then the link object's class.
  std::string bytes = platform::ReadWholeFile(path).value_or("");
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));
  std::optional<ResolvedLink> resolved = Resolve(path);
  ASSERT_TRUE(resolved);
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(resolved->target, program_)) << resolved->target;
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(resolved->folder, root_.File("program folder"))) << resolved->folder;
  // Made again: replaced in place.
  ASSERT_TRUE(links.CreateLink(program_, path)) << links.LastError();
  EXPECT_TRUE(Resolve(path));
}

TEST_F(ShellLinkMakerWindows, AProgramInAFolderWithAChineseNameIsLinkedToo) {
  Place("程序");
  ShellLinkMaker links(places_);
  ASSERT_TRUE(links.MakeDesktopLink(program_, "Vymera同步软件")) << links.LastError();
  std::optional<ResolvedLink> resolved = Resolve(links.DesktopLinkPath("Vymera同步软件"));
  ASSERT_TRUE(resolved);
  if (resolved->target.find('?') != std::string::npos) {
    GTEST_SKIP() << "this shell keeps a link's path in its 8-bit code page only: " << resolved->target;
  }
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(resolved->target, program_)) << resolved->target;
}

TEST_F(ShellLinkMakerWindows, TheStartMenuGroupIsAFolderOfLinksMadeWithItsParents) {
  ShellLinkMaker links(places_);
  ASSERT_TRUE(links.MakeProgramsLink(program_, "Vymera同步软件", "Vymera同步软件")) << links.LastError();
  ASSERT_TRUE(links.MakeProgramsLink(program_, "Vymera同步软件", "卸载Vymera同步软件")) << links.LastError();
  EXPECT_EQ(links.GroupFolder("Vymera同步软件"), places_.applications + "/Vymera同步软件");
  for (const char* name : {"Vymera同步软件", "卸载Vymera同步软件"}) {
    std::string path = links.ProgramsLinkPath("Vymera同步软件", name);
    EXPECT_EQ(path, places_.applications + "/Vymera同步软件/" + name + ".lnk");
    EXPECT_TRUE(Resolve(path)) << path;
  }
  // The start menu needs nothing besides the links.
  EXPECT_EQ(links.MenuFile("Vymera同步软件"), "");
  EXPECT_EQ(links.DirectoryFile("Vymera同步软件"), "");
}

TEST_F(ShellLinkMakerWindows, MissingPlacesFailWithTheirTexts) {
  ShellLinkMaker links(places_);
  // Offered only where the user's bar folder is there.
  EXPECT_EQ(HasQuickLaunch(), platform::IsFolder(ShortcutPlaces::ForUser().quickLaunch));
  EXPECT_FALSE(links.MakeQuickLaunchLink(program_, "Vymera同步软件"));  // its folder is not there
  EXPECT_EQ(links.LastError(), kNoFolder);
  ASSERT_TRUE(platform::MakeFolderTree(places_.quickLaunch));
  EXPECT_TRUE(links.MakeQuickLaunchLink(program_, "Vymera同步软件"));
  EXPECT_TRUE(Resolve(links.QuickLaunchLinkPath("Vymera同步软件")));

  EXPECT_FALSE(links.CreateLink(program_, root_.File("missing/x.lnk")));
  EXPECT_EQ(links.LastError(), kNotSaved);
  EXPECT_FALSE(platform::PathExists(root_.File("missing")));

  ShellLinkMaker nowhere(ShortcutPlaces{});
  EXPECT_FALSE(nowhere.MakeDesktopLink(program_, "x"));
  EXPECT_EQ(nowhere.LastError(), kNoFolder);
  EXPECT_FALSE(nowhere.MakeProgramsLink(program_, "g", "x"));
  EXPECT_EQ(nowhere.DesktopLinkPath("x"), "");
}

TEST(ShellLinkPlacesWindows, TheUsersOwnFoldersOfTheShell) {
  ShortcutPlaces places = ShortcutPlaces::ForUser();
  EXPECT_FALSE(places.desktop.empty());
  EXPECT_TRUE(places.applications.ends_with("/Start Menu/Programs")) << places.applications;
  EXPECT_TRUE(places.quickLaunch.ends_with("/Microsoft/Internet Explorer/Quick Launch")) << places.quickLaunch;
  EXPECT_TRUE(places.directories.empty() && places.mergedMenus.empty());
}

}  // namespace
