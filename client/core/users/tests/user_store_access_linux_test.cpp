// What the user file's permission bits are once it holds a password (POSIX modes; on Windows the
// file's access list is the platform layer's to test).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "client/core/users/user_store.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

const std::string kEmptyList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<UserList>\r\n</UserList>\r\n";

UserRecord SampleUser(std::string uid) {
  UserRecord r;
  r.uid = std::move(uid);
  r.uname = "张三";
  r.password = "密码&<1>";
  return r;
}

TEST(UserStore, StoredFileIsReadableByItsOwnerOnly) {
  TempFolder folder;
  std::string path = folder.File(UserStore::kFileName);
  // The list as the installer lays it down, readable by all; once it holds a password it is not.
  ASSERT_TRUE(platform::WriteFileAtomically(path, kEmptyList, platform::FileAccess::Shared));
  ASSERT_TRUE(UserStore::StoreOne(SampleUser("1"), path, false));
  struct stat st{};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u);
}

}  // namespace
