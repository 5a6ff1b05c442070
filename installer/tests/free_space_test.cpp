// The free-space line: the volume of the nearest existing folder, the arithmetic down to gigabytes,
// and the failure text.
#include "installer/free_space.h"

#include <gtest/gtest.h>

#include "installer/tests/fake_free_space.h"
#include "installer/tests/install_rig.h"
#include "platform/tests/comma_locale.h"

using namespace installer_testing;

namespace {

TEST(FreeSpace, MeasuresTheNearestExistingFolder) {
  TempHome home;
  FakeFreeSpace volume;
  EXPECT_EQ(FreeSpaceLine(home.File("new/deeper/Vymera"), volume), kFortyGigabytes);
  EXPECT_EQ(volume.asked.back(), home.home());
  EXPECT_EQ(FreeSpaceLine(home.Desktop() + "/", volume), kFortyGigabytes);
  EXPECT_EQ(volume.asked.back(), home.Desktop() + "/");
  // A file on the way is no folder to measure; its folder is.
  platform::WriteFileAtomically(home.File("file"), "x");
  EXPECT_EQ(NearestExistingFolder(home.File("file/Vymera")), home.home());
  EXPECT_EQ(NearestExistingFolder("~/new"), home.home());
  EXPECT_EQ(NearestExistingFolder("/no-such-root-folder/x"), "/");
}

TEST(FreeSpace, NoAbsoluteFolderOrNoAnswerGivesTheFailureText) {
  TempHome home;
  FakeFreeSpace volume;
  for (const char* text : {"", "Vymera", "C:\\Program Files\\Vymera", "./x", "~user/x"}) {
    EXPECT_EQ(FreeSpaceLine(text, volume), kNoFreeSpace) << text;
  }
  EXPECT_TRUE(volume.asked.empty());
  volume.Set(home.home(), std::nullopt);
  EXPECT_EQ(FreeSpaceLine(home.File("x"), volume), kNoFreeSpace);
}

TEST(FreeSpace, KilobytesThenSinglePrecisionGigabytes) {
  auto line = [](uint64_t bytes) {
    FakeFreeSpace volume(bytes);
    std::string text = FreeSpaceLine("/", volume);
    return text.substr(text.rfind("：") + std::string("：").size());
  };
  EXPECT_EQ(line(uint64_t{40} << 30), "40.0G");
  EXPECT_EQ(line(uint64_t{1536} << 20), "1.5G");
  EXPECT_EQ(line(1023), "0.0G");
  EXPECT_EQ(line(uint64_t{1} << 50), "1048576.0G");
  // A decimal point whatever the desktop's language.
  testing_support::CommaLocale comma;
  EXPECT_EQ(line((uint64_t{5} << 30) + (uint64_t{1} << 29)), "5.5G");
}

TEST(FreeSpace, TheSystemAnswersForAFolderAndNotForAMissingOne) {
  TempHome home;
  VolumeFreeSpace volume;
  EXPECT_GT(volume.FreeBytes(home.home()).value_or(0), 0u);
  EXPECT_FALSE(volume.FreeBytes(home.File("missing")));
}

}  // namespace
