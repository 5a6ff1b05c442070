// Opening beneath a folder without following a link on any component, with openat2 and without.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/zip/item_path.h"
#include "common/zip/item_path_linux.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::UniqueFd;

TEST(ZipTargets, OnlyRootedTargetsAreAbsolute) {
  EXPECT_TRUE(zip::IsAbsoluteTarget("/opt/vymera/res/a.png"));
  // A drive letter is a name like any other here, and refused as one.
  EXPECT_FALSE(zip::IsAbsoluteTarget("C:/res/a.png"));
  EXPECT_FALSE(zip::IsAbsoluteTarget("res/a.png"));
}

using Opener = UniqueFd (*)(int, std::string_view, int, mode_t);

// base/a/b/file.txt, with base/a/folder -> outside and base/a/file -> outside/file.txt.
class ZipOpenBeneath : public ::testing::TestWithParam<Opener> {
 protected:
  void SetUp() override {
    fs::create_directories(temp_.File("base/a/b"));
    fs::create_directories(temp_.File("outside"));
    platform::WriteFileAtomically(temp_.File("base/a/b/file.txt"), "inside");
    platform::WriteFileAtomically(temp_.File("outside/file.txt"), "outside");
    ASSERT_EQ(::symlink(temp_.File("outside").c_str(), temp_.File("base/a/folder").c_str()), 0);
    ASSERT_EQ(::symlink(temp_.File("outside/file.txt").c_str(), temp_.File("base/a/file").c_str()), 0);
    base_ = UniqueFd(::open(temp_.File("base").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(base_);
  }

  UniqueFd Open(std::string_view path, int flags, mode_t mode = 0) {
    return GetParam()(base_.get(), path, flags, mode);
  }

  testing_support::TempFolder temp_;
  UniqueFd base_;
};

TEST_P(ZipOpenBeneath, OpensAndCreatesBelowTheBase) {
  EXPECT_TRUE(Open("a/b/file.txt", O_RDONLY));
  EXPECT_TRUE(Open("./a//b/", O_PATH | O_DIRECTORY));
  EXPECT_TRUE(Open("a/b/new.txt", O_WRONLY | O_CREAT | O_EXCL, 0644));
  EXPECT_TRUE(fs::is_regular_file(temp_.File("base/a/b/new.txt")));
  EXPECT_FALSE(Open("a/missing/new.txt", O_WRONLY | O_CREAT, 0644));
  EXPECT_FALSE(Open("", O_RDONLY));
}

TEST_P(ZipOpenBeneath, FollowsNoLinkOnAnyComponent) {
  for (const char* path : {"a/folder/file.txt", "a/file", "a/folder"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(Open(path, O_RDONLY));
    EXPECT_FALSE(Open(path, O_PATH));
  }
  EXPECT_FALSE(Open("a/folder/new.txt", O_WRONLY | O_CREAT | O_EXCL, 0644));
  EXPECT_FALSE(Open("a/file", O_WRONLY | O_TRUNC));
  EXPECT_EQ(platform::ReadWholeFile(temp_.File("outside/file.txt")), "outside");
  EXPECT_FALSE(fs::exists(temp_.File("outside/new.txt")));
}

INSTANTIATE_TEST_SUITE_P(OneCallAndComponentByComponent, ZipOpenBeneath,
                         ::testing::Values(&zip::OpenBeneath, &zip::OpenBeneathByComponents));

}  // namespace
