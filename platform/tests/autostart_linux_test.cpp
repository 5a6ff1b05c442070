#include "platform/autostart.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/temp_folder.h"

using namespace platform;

namespace {

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (home_.path() + "/config").c_str(), 1);
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
  testing_support::TempFolder home_;
};

}  // namespace

TEST_F(AutostartTest, WriteCreatesTheFolderAndRemoveIsIdempotent) {
  std::string path = AutostartEntryPath("Vymera");
  EXPECT_EQ(path, home_.path() + "/config/autostart/Vymera.desktop");
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));  // absent: still success
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "/opt/vymera/Vymera", "/Startup"));
  std::string entry = ReadWholeFile(path).value();
  EXPECT_NE(entry.find("\nExec=/opt/vymera/Vymera /Startup\n"), std::string::npos);
  EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));
  EXPECT_FALSE(ReadWholeFile(path));
}

TEST_F(AutostartTest, PathsWithReservedCharactersAreQuoted) {
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "/home/a b/100%\\x", "/Startup"));
  std::string entry = ReadWholeFile(AutostartEntryPath("Vymera")).value();
  EXPECT_NE(entry.find("\nExec=\"/home/a b/100%%\\\\\\\\x\" /Startup\n"), std::string::npos) << entry;
}

TEST_F(AutostartTest, WithoutAnyConfigFolderNothingIsWritten) {
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string saved = home ? home : "";
  unsetenv("HOME");
  EXPECT_EQ(AutostartEntryPath("Vymera"), "");
  EXPECT_FALSE(WriteAutostartEntry("Vymera", "/x", "/Startup"));
  EXPECT_FALSE(RemoveAutostartEntry("Vymera"));
  if (home) setenv("HOME", saved.c_str(), 1);
}
