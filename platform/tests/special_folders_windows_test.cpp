#include <gtest/gtest.h>

#include "platform/special_folders.h"
#include "platform/text.h"

using namespace platform;

namespace {

bool InProgramsForm(const std::string& folder) {
  return folder.size() > 3 && folder[1] == ':' && folder[2] == '/' && folder.back() != '/' &&
         folder.find('\\') == std::string::npos;
}

bool StartsWithFolder(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && EqualsIgnoringAsciiCase(path.substr(0, folder.size()), folder) &&
         path[folder.size()] == '/';
}

TEST(SpecialFoldersWindows, TheShellsFoldersInTheProgramsFormBelowTheProfile) {
  std::string home = HomeFolder();
  ASSERT_TRUE(InProgramsForm(home)) << home;
  for (const std::string& folder : {DataHome(), ConfigHome(), DesktopFolder()}) {
    EXPECT_TRUE(InProgramsForm(folder)) << folder;
    EXPECT_TRUE(StartsWithFolder(folder, home)) << folder << " below " << home;
  }
  // Per-user programs go where no administrator is needed, apart from the roaming settings.
  EXPECT_NE(DataHome(), ConfigHome());
  EXPECT_TRUE(DataHome().ends_with("/Programs")) << DataHome();
}

}  // namespace
