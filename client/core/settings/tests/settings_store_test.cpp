#include "client/core/settings/settings_store.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

const std::string kInstallerDefaults = std::string(VYMERA_INSTALLER_DATA) + "/systemset.ini";

std::string Read(const std::string& path) { return platform::ReadWholeFile(path).value_or("<missing>"); }

// Lays down the settings file in dir with text (UTF-8, stored in the code page); its path.
std::string SettingsFileIn(const TempFolder& dir, const std::string& text) {
  std::string path = dir.File(SettingsStore::kFileName);
  platform::WriteFileAtomically(path, platform::ToCodePage(text));
  return path;
}

}  // namespace

TEST(SettingsStore, InstallerDefaultFileIsByteExactAndLoads) {
  std::string expected = platform::ToCodePage(
      "[系统设置]\r\nAutoStart=0\r\nShowCloseTip=1\r\nUseProxy=0\r\nAutoUpdate=1\r\nShowUpdateWindow=1\r\n"
      "TixingTime=15\r\n地址=\r\n端口=\r\n用户名=\r\n密码=\r\n\r\n");
  EXPECT_EQ(Read(kInstallerDefaults), expected);

  SettingsStore settings;
  settings.Load(kInstallerDefaults);
  EXPECT_FALSE(settings.AutoStart);
  EXPECT_TRUE(settings.ShowCloseTip);
  EXPECT_FALSE(settings.UseProxy);
  EXPECT_TRUE(settings.AutoUpdate);
  EXPECT_TRUE(settings.ShowUpdateWindow);
  EXPECT_EQ(settings.TixingTime, 15);
  EXPECT_EQ(settings.proxyAddress, "");
  EXPECT_EQ(settings.proxyPassword, "");
}

TEST(SettingsStore, MissingFileGivesDefaults) {
  TempFolder dir;
  SettingsStore settings;
  settings.ShowCloseTip = true;
  settings.ShowUpdateWindow = false;
  settings.Load(dir.File("systemset.ini"));
  EXPECT_FALSE(settings.ShowCloseTip);
  EXPECT_TRUE(settings.ShowUpdateWindow);
  EXPECT_FALSE(settings.AutoStart);
  EXPECT_EQ(settings.TixingTime, 15);
}

TEST(SettingsStore, SavingTheDefaultsUnchangedKeepsTheFileByteForByte) {
  TempFolder dir;
  std::string path = dir.File("systemset.ini");
  platform::WriteFileAtomically(path, Read(kInstallerDefaults));
  SettingsStore settings;
  settings.Load(path);
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(Read(path), Read(kInstallerDefaults));
}

TEST(SettingsStore, SaveCreatesTheFileWithAllKeysInOrder) {
  TempFolder dir;
  std::string path = dir.File("systemset.ini");
  SettingsStore settings;
  settings.Load(path);
  settings.AutoStart = true;
  settings.TixingTime = 30;
  settings.proxyAddress = "10.0.0.1";
  settings.proxyPort = "8080";
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(Read(path), platform::ToCodePage("[系统设置]\r\nAutoStart=1\r\nShowCloseTip=0\r\nUseProxy=0\r\n"
                                             "AutoUpdate=0\r\nShowUpdateWindow=1\r\nTixingTime=30\r\n"
                                             "地址=10.0.0.1\r\n端口=8080\r\n用户名=\r\n密码=\r\n"));
}

TEST(SettingsStore, UnusualIntervalIsKeptAsStored) {
  // The settings dialog shows any interval other than 15 and 30 as 60; the store keeps what it read.
  TempFolder dir;
  std::string path = SettingsFileIn(dir, "[系统设置]\r\nTixingTime=45\r\nAutoStart=7\r\n");
  SettingsStore settings;
  settings.Load(path);
  EXPECT_EQ(settings.TixingTime, 45);
  EXPECT_TRUE(settings.AutoStart);  // any non-zero number is on
}

TEST(SettingsStore, ChineseProxyPasswordSurvivesSaveAndLoadInTheCodePage) {
  TempFolder dir;
  std::string path = dir.File("systemset.ini");
  SettingsStore settings;
  settings.Load(path);
  settings.UseProxy = true;
  settings.proxyUserName = "用户";
  settings.proxyPassword = "密码ü中=&;";
  ASSERT_TRUE(settings.Save());
  EXPECT_NE(Read(path).find(platform::ToCodePage("密码=密码ü中=&;\r\n")), std::string::npos);
  SettingsStore again;
  again.Load(path);
  EXPECT_TRUE(again.UseProxy);
  EXPECT_EQ(again.proxyUserName, "用户");
  EXPECT_EQ(again.proxyPassword, "密码ü中=&;");
}

TEST(SettingsStore, TextsAreReadIntoTheirBufferLength) {
  TempFolder dir;
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "中";
  std::string path = SettingsFileIn(dir, "[系统设置]\r\n地址=" + longText + "\r\n");
  SettingsStore settings;
  settings.Load(path);
  EXPECT_EQ(platform::CountCodePoints(settings.proxyAddress), 255u);
}

TEST(SettingsStore, SaveKeepsLinesItDoesNotOwnAndFailsWithoutAPath) {
  TempFolder dir;
  std::string path = SettingsFileIn(dir, "; note\r\n[其他]\r\nx=1\r\n[系统设置]\r\nAutoStart=0\r\n");
  SettingsStore settings;
  settings.Load(path);
  ASSERT_TRUE(settings.Save());
  std::string text = platform::FromCodePage(Read(path));
  EXPECT_TRUE(text.starts_with("; note\r\n[其他]\r\nx=1\r\n[系统设置]\r\nAutoStart=0\r\nShowCloseTip=0\r\n")) << text;

  SettingsStore unloaded;
  EXPECT_FALSE(unloaded.Save());
}
