// The libraries the carried programs need: read from their ELF images, asked of the loader, and the
// Debian packages named for those that are missing.
#include "installer/runtime_check.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "install/install_items.h"
#include "installer/tests/fake_library_probe.h"
#include "platform/file_io.h"
#include "platform/payload.h"

using installer_testing::FakeLibraryProbe;

namespace {

std::string KitImage() { return platform::ReadWholeFile(VYMERA_TEST_KIT).value_or(""); }

TEST(NeededLibraries, ReadFromALibraryTheBuildMade) {
  std::vector<std::string> needed = NeededLibraries(KitImage());
  EXPECT_NE(std::find(needed.begin(), needed.end(), "libstdc++.so.6"), needed.end());
  EXPECT_NE(std::find(needed.begin(), needed.end(), "libc.so.6"), needed.end());
}

TEST(NeededLibraries, AnythingElseNeedsNothingAndNeverReadsOutside) {
  std::string image = KitImage();
  ASSERT_GT(image.size(), 4096u);
  EXPECT_TRUE(NeededLibraries("").empty());
  EXPECT_TRUE(NeededLibraries("#!/bin/sh\necho\n").empty());
  EXPECT_TRUE(NeededLibraries(image.substr(0, 64)).empty());
  EXPECT_TRUE(NeededLibraries(image.substr(0, image.size() / 2)).empty());
  // The section table's offset pointed past the end.
  std::string moved = image;
  for (int i = 0; i < 8; ++i) moved[0x28 + i] = '\x7f';
  EXPECT_TRUE(NeededLibraries(moved).empty());
  // A 32-bit image is not one of ours.
  std::string narrow = image;
  narrow[4] = 1;
  EXPECT_TRUE(NeededLibraries(narrow).empty());
}

TEST(RuntimeCheck, MissingLibrariesNameTheirPackagesOnce) {
  FakeLibraryProbe probe({"libstdc++.so.6", "libm.so.6", "libc.so.6"});
  RuntimeCheck check = CheckRuntime(probe);
  ASSERT_FALSE(check.Passed());
  EXPECT_NE(std::find(check.missing.begin(), check.missing.end(), "libstdc++.so.6"), check.missing.end());
  EXPECT_EQ(std::count(check.packages.begin(), check.packages.end(), "libc6"), 1);
  EXPECT_NE(std::find(check.packages.begin(), check.packages.end(), "libstdc++6"), check.packages.end());
  std::string text = RuntimeCheckText(check);
  EXPECT_NE(text.find("    libstdc++.so.6\n"), std::string::npos) << text;
  EXPECT_NE(text.find("sudo apt-get install "), std::string::npos) << text;
  EXPECT_NE(text.find(" libstdc++6"), std::string::npos) << text;
  // Each library is asked once, however many items need it.
  std::vector<std::string> asked = probe.asked;
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end());
}

TEST(RuntimeCheck, AllPresentPassesAndUnknownLibrariesAreStillNamed) {
  EXPECT_TRUE(CheckRuntime(FakeLibraryProbe()).Passed());
  RuntimeCheck unknown{{"libsomething.so.9"}, {}};
  std::string text = RuntimeCheckText(unknown);
  EXPECT_NE(text.find("libsomething.so.9"), std::string::npos);
  EXPECT_EQ(text.find("apt-get"), std::string::npos);
  EXPECT_EQ(DebianPackageOf("libcurl.so.4"), "libcurl4");
  EXPECT_EQ(DebianPackageOf("libsomething.so.9"), "");
}

TEST(RuntimeCheck, TheLoaderFindsWhatIsThereOnly) {
  LoaderLibraryProbe loader;
  EXPECT_TRUE(loader.Present("libc.so.6"));
  EXPECT_FALSE(loader.Present("libvymera-no-such-library.so.7"));
}

}  // namespace
