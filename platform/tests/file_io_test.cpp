#include "platform/file_io.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "testing/temp_folder.h"

using namespace platform;
using testing_support::TempFolder;

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  TempFolder dir;
  std::string path = dir.File("f.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  EXPECT_EQ(ReadWholeFile(path).value(), "second");
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u);
}

#ifndef _WIN32
// Windows files carry an access list instead of these bits; the Windows side has its own test.
TEST(FileIo, NewFilesGetTheAskedAccessAndExistingFilesKeepTheirs) {
  TempFolder dir;
  std::string secret = dir.File("secret");
  ASSERT_TRUE(WriteFileAtomically(secret, "x", FileAccess::OwnerOnly));
  struct stat info {};
  stat(secret.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  std::string shared = dir.File("shared");
  ASSERT_TRUE(WriteFileAtomically(shared, "x"));
  chmod(shared.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(shared, "y", FileAccess::OwnerOnly));
  stat(shared.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}
#endif

TEST(FileIo, FailedWriteLeavesNothingBehind) {
  TempFolder dir;
  EXPECT_FALSE(WriteFileAtomically(dir.File("missing/f.txt"), "x"));
  EXPECT_FALSE(WriteFileAtomically(dir.path(), "x"));  // a folder is never replaced
  EXPECT_FALSE(WriteFileAtomically("", "x"));
}

TEST(FileIo, PiecesReplaceTheFileOnlyWhenCommitted) {
  TempFolder dir;
  std::string path = dir.File("f.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  {
    AtomicFileWriter abandoned(path);
    ASSERT_TRUE(abandoned.Write("never "));
    EXPECT_EQ(ReadWholeFile(path).value(), "old");
  }
  EXPECT_EQ(ReadWholeFile(path).value(), "old");
  AtomicFileWriter writer(path);
  ASSERT_TRUE(writer.Write("one, "));
  ASSERT_TRUE(writer.Write("two"));
  ASSERT_TRUE(writer.Commit());
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(ReadWholeFile(path).value(), "one, two");
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u);

  AtomicFileWriter nowhere(dir.File("missing/f.txt"));
  EXPECT_FALSE(nowhere.Write("x"));
  EXPECT_FALSE(nowhere.Commit());
}

TEST(FileIo, ReadRefusesFoldersMissingAndOversizedFiles) {
  TempFolder dir;
  EXPECT_FALSE(ReadWholeFile(dir.path()));
  EXPECT_FALSE(ReadWholeFile(dir.File("none")));
  WriteFileAtomically(dir.File("ten"), "0123456789");
  EXPECT_FALSE(ReadWholeFile(dir.File("ten"), 9));
  EXPECT_EQ(ReadWholeFile(dir.File("ten"), 10).value(), "0123456789");
  WriteFileAtomically(dir.File("empty"), "");
  EXPECT_EQ(ReadWholeFile(dir.File("empty")).value(), "");
}

TEST(FileIo, RenameWithoutReplacingNeverOverwrites) {
  TempFolder dir;
  WriteFileAtomically(dir.File("a"), "first");
  WriteFileAtomically(dir.File("b"), "second");
  EXPECT_FALSE(RenameWithoutReplacing(dir.File("a"), dir.File("b")));
  EXPECT_EQ(ReadWholeFile(dir.File("a")).value(), "first");
  EXPECT_EQ(ReadWholeFile(dir.File("b")).value(), "second");
  EXPECT_TRUE(RenameWithoutReplacing(dir.File("a"), dir.File("c")));
  EXPECT_FALSE(PathExists(dir.File("a")));
  EXPECT_EQ(ReadWholeFile(dir.File("c")).value(), "first");
  EXPECT_FALSE(RenameWithoutReplacing(dir.File("none"), dir.File("d")));
}

TEST(Paths, ExecutableFolderAndFolderTest) {
  std::string exe = ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(ExecutableFolder() + "/" + std::filesystem::path(exe).filename().string(), exe);
  EXPECT_TRUE(IsFolder(ExecutableFolder()));
  EXPECT_FALSE(IsFolder(exe));
  EXPECT_FALSE(IsFolder(""));
  EXPECT_FALSE(IsFolder("/no/such/folder"));
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}
