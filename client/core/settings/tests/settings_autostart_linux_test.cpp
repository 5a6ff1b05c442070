// Starting with the desktop through the XDG autostart entry, under a configuration folder of the
// test's own.
#include <cstdlib>

#include <gtest/gtest.h>

#include "client/core/settings/settings_store.h"
#include "platform/autostart.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<missing>"); }

std::string SettingsFileIn(const TempFolder& dir, const std::string& text) {
  std::string path = dir.File(SettingsStore::kFileName);
  platform::WriteFileAtomically(path, platform::ToCodePage(text));
  return path;
}

TEST(SettingsStore, StartWithDesktopWritesAndRemovesTheAutostartEntry) {
  TempFolder home;
  setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  std::string entry = platform::AutostartEntryPath("Vymera");
  EXPECT_TRUE(SettingsStore::SetStartWithDesktop(false));  // nothing there: still success
  ASSERT_TRUE(SettingsStore::SetStartWithDesktop(true));
  EXPECT_NE(Read(entry).find("Exec=" + platform::ExecutablePath() + " /Startup\n"), std::string::npos);
  EXPECT_TRUE(SettingsStore::SetStartWithDesktop(false));
  EXPECT_FALSE(platform::PathExists(entry));
  unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsStore, AnEntryTheFormerInstallationTookWithItIsWrittenAgainAtStart) {
  TempFolder home;
  setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
  std::string entry = platform::AutostartEntryPath("Vymera");
  SettingsStore settings;
  settings.Load(SettingsFileIn(home, "[系统设置]\r\nAutoStart=1\r\n"));
  ASSERT_TRUE(settings.RestoreStartWithDesktop());
  EXPECT_NE(Read(entry).find("Exec=" + platform::ExecutablePath() + " /Startup\n"), std::string::npos);

  // An entry that is there stays as it is, whatever it starts.
  ASSERT_TRUE(platform::WriteAutostartEntry("Vymera", "/home/li/.local/share/Vymera/Vymera", "/Startup"));
  std::string other = Read(entry);
  EXPECT_TRUE(settings.RestoreStartWithDesktop());
  EXPECT_EQ(Read(entry), other);

  // Off: nothing is written.
  ASSERT_TRUE(SettingsStore::SetStartWithDesktop(false));
  settings.AutoStart = false;
  EXPECT_TRUE(settings.RestoreStartWithDesktop());
  EXPECT_FALSE(platform::PathExists(entry));
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
