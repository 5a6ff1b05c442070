#include "platform/payload.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

using namespace platform;

namespace {

std::string Expected(const char* name) {
  return ReadWholeFile(std::string(VYMERA_TEST_DATA) + "/payload/" + name).value_or("(missing)");
}

}  // namespace

TEST(Payload, ItemsAreListedInBuildOrderWithEveryByte) {
  std::span<const PayloadItem> items = LinkedPayload();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_STREQ(items[0].type, "TXT");
  EXPECT_EQ(items[0].id, 7u);
  EXPECT_STREQ(items[1].type, "BIN");
  EXPECT_EQ(items[1].id, 300u);
  std::string bytes(reinterpret_cast<const char*>(items[1].begin), static_cast<size_t>(items[1].end - items[1].begin));
  EXPECT_EQ(bytes, Expected("bytes.bin"));
}

TEST(Payload, FoundByTypeAndIdTogether) {
  std::optional<std::string_view> lines = FindPayload("TXT", 7);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, Expected("lines.txt"));  // line ends as they were, not turned into another kind
  EXPECT_FALSE(FindPayload("BIN", 7));
  EXPECT_FALSE(FindPayload("TXT", 300));
  EXPECT_FALSE(FindPayload("TXT", 8));
  EXPECT_FALSE(FindPayload("", 7));
  EXPECT_FALSE(FindPayload("TX", 7));
}

TEST(Payload, WritingReplacesAFileAndRefusesWhatItCannotWrite) {
  testing_support::TempFolder dir;
  std::string path = dir.File("bytes.bin");
  ASSERT_TRUE(WriteFileAtomically(path, "an older and much longer file than the one replacing it, by far"));
  ASSERT_TRUE(WritePayload(300, "BIN", path));
  EXPECT_EQ(ReadWholeFile(path).value_or(""), Expected("bytes.bin"));
  ASSERT_TRUE(WritePayload(7, "TXT", dir.File("private.txt"), PayloadUse::Private));
  EXPECT_EQ(ReadWholeFile(dir.File("private.txt")).value_or(""), Expected("lines.txt"));

  EXPECT_FALSE(WritePayload(8, "TXT", dir.File("none")));
  EXPECT_FALSE(PathExists(dir.File("none")));
  EXPECT_FALSE(WritePayload(7, "TXT", ""));
  ASSERT_TRUE(MakeFolderTree(dir.File("folder")));
  EXPECT_FALSE(WritePayload(7, "TXT", dir.File("folder")));
  EXPECT_TRUE(IsFolder(dir.File("folder")));
  EXPECT_FALSE(WritePayload(7, "TXT", dir.File("missing/lines.txt")));
}
