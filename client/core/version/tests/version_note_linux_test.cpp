// The version as an ELF note: found without the section headers, and missing from other files.
#include <cstring>

#include <gtest/gtest.h>

#include "client/core/version/version.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

TEST(Version, NoteIsFoundThroughTheProgramHeadersWhenSectionsAreGone) {
  testing_support::TempFolder dir;
  std::string bytes = platform::ReadWholeFile(VERSION_PROBE).value();
  ASSERT_GT(bytes.size(), 64u);
  std::memset(&bytes[0x28], 0, 8);  // e_shoff of a 64-bit file: no section headers
  std::string copy = dir.File("stripped");
  platform::WriteFileAtomically(copy, bytes);
  EXPECT_EQ(GetFileVersionString(copy), PROJECT_FILE_VERSION);
}

TEST(Version, FilesWithoutANoteGiveTheEmptyString) {
  testing_support::TempFolder dir;
  EXPECT_EQ(GetFileVersionString(dir.File("none")), "");
  EXPECT_EQ(GetFileVersionString("/bin/sh"), "");
  platform::WriteFileAtomically(dir.File("short"), "\x7F" "ELF\x02\x01");
  EXPECT_EQ(GetFileVersionString(dir.File("short")), "");
}
