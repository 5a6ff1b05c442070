#include "platform/file_version.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

using namespace platform;

TEST(FileVersion, FilesWithoutTheNoteGiveNothing) {
  testing_support::TempFolder dir;
  EXPECT_FALSE(ReadFileVersion(dir.File("missing")));
  WriteFileAtomically(dir.File("text"), "\x7F" "ELF but not really");
  EXPECT_FALSE(ReadFileVersion(dir.File("text")));
  // The test program is not one of the shipped programs and carries no version note.
  EXPECT_FALSE(ReadFileVersion(ExecutablePath()));
  EXPECT_FALSE(ReadFileVersion("/bin/sh"));
}
