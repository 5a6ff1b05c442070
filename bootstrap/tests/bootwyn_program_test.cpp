// The built Bootwyn is the one file handed out: it starts with nothing beside it and carries the
// installer, its skins and the toolkit as the build made them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "installer/runtime_check.h"
#include "platform/file_io.h"

namespace {

TEST(BootwynProgram, CarriesTheInstallerItsSkinsAndTheToolkit) {
  std::optional<std::string> bootwyn = platform::ReadWholeFile(VYMERA_BOOTWYN, size_t{1} << 30);
  ASSERT_TRUE(bootwyn);
  std::string bin = std::string(VYMERA_BOOTWYN).substr(0, std::string(VYMERA_BOOTWYN).rfind('/'));
  for (const char* name : {"Setup", "setupres.zip", VYMERA_TOOLKIT_FILE}) {
    std::optional<std::string> item = platform::ReadWholeFile(bin + "/" + name, size_t{1} << 30);
    ASSERT_TRUE(item) << name;
    // A skipping search: a plain find compares the whole item at every candidate byte, which the
    // sanitizers' checked memcmp makes take many minutes on programs this large.
    auto found = std::search(bootwyn->begin(), bootwyn->end(),
                             std::boyer_moore_horspool_searcher(item->begin(), item->end()));
    EXPECT_NE(found, bootwyn->end()) << name;
  }
}

TEST(BootwynProgram, NeedsNoLibraryItCarries) {
  std::optional<std::string> image = platform::ReadWholeFile(VYMERA_BOOTWYN, size_t{1} << 30);
  ASSERT_TRUE(image);
  std::vector<std::string> needed = NeededLibraries(*image);
  ASSERT_FALSE(needed.empty());
  for (const std::string& library : needed) EXPECT_NE(library, VYMERA_TOOLKIT_FILE);
}

}  // namespace
