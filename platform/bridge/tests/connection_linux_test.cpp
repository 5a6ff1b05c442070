// Where the Linux programs find the simulator: a Unix socket in a private folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/bridge/connection.h"
#include "platform/bridge/socket_folder.h"
#include "platform/bridge/tests/stream_pair.h"

namespace b = platform::bridge;

TEST(BridgeConnectionLinux, ConnectsOnlyToAListeningSocketInAPrivateFolder) {
  bridge_test::TestListener listener;
  std::string path = listener.endpoint();
  std::string folder = b::FolderOf(path);
  EXPECT_NE(b::Connection::Connect(path), nullptr);
  EXPECT_EQ(b::Connection::Connect(folder + "/missing.sock"), nullptr);
  EXPECT_EQ(b::Connection::Connect(folder + "/" + std::string(200, 'x')), nullptr);
  EXPECT_EQ(b::Connection::Connect(""), nullptr);
  chmod(folder.c_str(), 0777);
  EXPECT_FALSE(b::PrivateFolder(folder, false));
  EXPECT_EQ(b::Connection::Connect(path), nullptr);
  chmod(folder.c_str(), 0700);
  EXPECT_TRUE(b::PrivateFolder(folder, false));
  EXPECT_FALSE(b::PrivateFolder("/tmp", false));

  std::string made = folder + "/made";
  EXPECT_TRUE(b::PrivateFolder(made, true));
  struct stat st {};
  ASSERT_EQ(stat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(BridgeConnectionLinux, TheSocketLivesInTheRuntimeFolderOrInAPrivateOneUnderTmp) {
  {
    bridge_test::ScopedVariable runtime("XDG_RUNTIME_DIR", "/run/user/1234");
    EXPECT_EQ(b::DefaultSocketPath(), "/run/user/1234/vymera-sim.sock");
  }
  bridge_test::ScopedVariable none("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(b::DefaultSocketPath(), "/tmp/vymera-" + std::to_string(getuid()) + "/vymera-sim.sock");
  EXPECT_EQ(b::FolderOf(b::DefaultSocketPath()), "/tmp/vymera-" + std::to_string(getuid()));
}
