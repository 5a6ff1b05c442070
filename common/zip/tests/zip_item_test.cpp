// Describing items: walking the directory in any order, the local header check, names, attributes
// and times.
#include "common/zip/item_description.h"
#include "common/zip/zip_extractor.h"
#include "platform/codepage.h"
#include "zip_test_writer.h"

namespace {

using zip_test::BuildZip;
using zip_test::Entry;

class ZipItems : public zip_test::InTempFolder {
 protected:
  // Opens an archive of the given entries and describes its first item.
  ZipResult DescribeFirst(const std::vector<Entry>& entries, ZipItem& item) {
    zip_.CloseArchive();  // the one a call before opened
    if (zip_.OpenArchive(Archive(BuildZip(entries))) != ZipResult::kOk) return ZipResult::kReadError;
    return zip_.GetItem(0, item);
  }
  ZipExtractor zip_;
};

TEST_F(ZipItems, CountsAndWalksTwoHundredFiftyItemsInAnyOrder) {
  std::vector<Entry> entries;
  for (int i = 0; i < 250; ++i) {
    entries.push_back({.name = "item" + std::to_string(i) + ".txt", .data = std::string(i, 'z'), .method = 0});
  }
  ASSERT_EQ(zip_.OpenArchive(Archive(BuildZip(entries))), ZipResult::kOk);
  ZipItem item;
  ASSERT_EQ(zip_.GetItem(-1, item), ZipResult::kOk);
  EXPECT_EQ(item.index, 250);
  EXPECT_TRUE(item.name.empty());
  EXPECT_EQ(item.uncompressedSize, 0u);

  // Descending indexes make the walk rewind every time; each must still land on its own record.
  for (int i = 249; i >= 0; --i) {
    ASSERT_EQ(zip_.GetItem(i, item), ZipResult::kOk);
    EXPECT_EQ(item.index, i);
    EXPECT_EQ(item.name, "item" + std::to_string(i) + ".txt");
    EXPECT_EQ(item.uncompressedSize, static_cast<std::uint32_t>(i));
  }
  // The same index twice, then a jump forward.
  ASSERT_EQ(zip_.GetItem(0, item), ZipResult::kOk);
  ASSERT_EQ(zip_.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "item0.txt");
  ASSERT_EQ(zip_.GetItem(200, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "item200.txt");
  ASSERT_EQ(zip_.ExtractItem(7, "seven.txt"), ZipResult::kOk);
  EXPECT_EQ(platform::ReadWholeFile(Work("seven.txt")), std::string(7, 'z'));

  EXPECT_EQ(zip_.GetItem(250, item), ZipResult::kBadArgument);
  EXPECT_EQ(zip_.GetItem(-2, item), ZipResult::kBadArgument);
  EXPECT_EQ(zip_.ExtractItem(250, "x"), ZipResult::kBadArgument);
}

TEST_F(ZipItems, LocalHeaderMustAgreeWithTheDirectory) {
  const std::vector<Entry> damaged = {
      {.name = "method.txt", .data = "x", .localMethod = 0},
      {.name = "crc.txt", .data = "x", .localCrc = 1},
      {.name = "name.txt", .data = "x", .localNameLength = 3},
      {.name = "bzip2.txt", .data = "x", .method = 12},
      // A data descriptor excuses the sizes and CRC of the local header, nothing else.
      {.name = "descriptor.txt", .data = "x", .flags = 0x0008, .localCrc = 0},
  };
  ASSERT_EQ(zip_.OpenArchive(Archive(BuildZip(damaged))), ZipResult::kOk);
  ZipItem item;
  EXPECT_EQ(zip_.GetItem(0, item), ZipResult::kHeaderMismatch);
  EXPECT_EQ(zip_.GetItem(1, item), ZipResult::kHeaderMismatch);
  EXPECT_EQ(zip_.GetItem(2, item), ZipResult::kHeaderMismatch);
  EXPECT_EQ(zip_.GetItem(3, item), ZipResult::kHeaderMismatch);
  EXPECT_EQ(zip_.ExtractItem(3, "bzip2.txt"), ZipResult::kHeaderMismatch);
  EXPECT_EQ(zip_.GetItem(4, item), ZipResult::kOk);
  EXPECT_EQ(zip_.ExtractItem(4, "descriptor.txt"), ZipResult::kOk);
  EXPECT_FALSE(std::filesystem::exists(Work("bzip2.txt")));
}

TEST_F(ZipItems, DamagedDirectoryRecordsAreReadErrors) {
  std::string bytes = BuildZip({{.name = "a.txt", .data = "a"}, {.name = "b.txt", .data = "b"}});
  // Spoil the second central record's signature.
  const std::size_t second = bytes.rfind(std::string("PK\x01\x02", 4));
  bytes[second + 2] = 9;
  ASSERT_EQ(zip_.OpenArchive(Archive(bytes)), ZipResult::kOk);
  ZipItem item;
  EXPECT_EQ(zip_.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(zip_.GetItem(1, item), ZipResult::kReadError);
  EXPECT_EQ(zip_.GetItem(0, item), ZipResult::kOk);
}

TEST_F(ZipItems, NamesAreGbkUnlessTheyAreFlaggedUtf8AndLongOnesAreCut) {
  ZipItem item;
  // "皮肤\界面.xml" in GBK: read so without the UTF-8 flag, and also with it, since these bytes are
  // no UTF-8 (an archiver that set the flag without meaning it).
  const std::string gbk = "\xC6\xA4\xB7\xF4\\\xBD\xE7\xC3\xE6.xml";
  ASSERT_EQ(DescribeFirst({{.name = gbk, .data = "<Window/>"}}, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "皮肤\\界面.xml");
  ASSERT_EQ(DescribeFirst({{.name = gbk, .data = "<Window/>", .flags = 0x0800}}, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "皮肤\\界面.xml");
  // Flagged UTF-8 names, as today's archivers (and the build's skin packing) write them.
  ASSERT_EQ(DescribeFirst({{.name = "健康称2.png", .data = "png", .flags = 0x0800}}, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "健康称2.png");

  // 0x5C is "\" in ASCII but also a GBK trail byte: inside a character it separates nothing.
  ZipExtractor trail;
  ASSERT_EQ(trail.OpenArchive(Archive(BuildZip({{.name = "\x81\x5C.txt", .data = "one file"}}), "trail.zip")),
            ZipResult::kOk);
  ASSERT_EQ(trail.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.name, platform::FromCodePage("\x81\x5C.txt"));
  EXPECT_EQ(item.name.find('\\'), std::string::npos);
  EXPECT_EQ(trail.ExtractItem(0, item.name), ZipResult::kOk);
  EXPECT_EQ(platform::ReadWholeFile(Work(item.name)), "one file");

  ZipExtractor longNames;
  const std::string longName = std::string(258, 'n') + "\xC6\xA4" + "tail";
  ASSERT_EQ(longNames.OpenArchive(Archive(BuildZip({{.name = longName, .data = "x"}}), "long.zip")), ZipResult::kOk);
  ASSERT_EQ(longNames.GetItem(0, item), ZipResult::kOk);
  // The double-byte character at bytes 258 and 259 does not fit in 259 bytes and is dropped whole.
  EXPECT_EQ(item.name, std::string(258, 'n'));
}

TEST_F(ZipItems, AttributesFollowTheMakersConventions) {
  using namespace zip_attribute;
  // Unix-made: the owner-write bit decides read-only; the high-word directory bit makes a folder.
  EXPECT_EQ(zip::AttributesFrom(zip_test::kUnixFile0644), kNormal);
  EXPECT_EQ(zip::AttributesFrom(zip_test::kUnixFile0444), kNormal | kReadOnly);
  EXPECT_EQ(zip::AttributesFrom(040755u << 16), kNormal | kDirectory);
  // DOS/Windows-made: no Unix mode, so read-only always; the low byte carries the DOS bits.
  EXPECT_EQ(zip::AttributesFrom(0x20), kNormal | kArchive | kReadOnly);
  EXPECT_EQ(zip::AttributesFrom(0x10), kNormal | kDirectory | kReadOnly);
  EXPECT_EQ(zip::AttributesFrom(0x27), kNormal | kArchive | kHidden | kSystem | kReadOnly);
  EXPECT_EQ(zip::AttributesFrom(zip_test::kUnixFile0644 | 0x01), kNormal | kReadOnly);
}

TEST_F(ZipItems, DosTimesAreReadWithoutTimeZone) {
  // 2025-04-12 12:00:00 and 1980-01-01 00:00:00, taken as UTC.
  EXPECT_EQ(zip::DosTimeToFileTime(0x5A8C6000), 1744459200);
  EXPECT_EQ(zip::DosTimeToFileTime(0x00210000), 315532800);
  // Month 0 is no date.
  EXPECT_EQ(zip::DosTimeToFileTime(0x00010000), 0);
}

TEST_F(ZipItems, ExtendedTimestampOverridesTheDosTime) {
  ZipItem item;
  const std::string extra = std::string("\x01\x02\x03\x00zyx", 7) +  // an unrelated block is skipped
                            zip_test::ExtendedTimestamp(0x07, {1000000000, 1100000000, 1200000000});
  ASSERT_EQ(DescribeFirst({{.name = "t.txt", .data = "t", .localExtra = extra}}, item), ZipResult::kOk);
  EXPECT_EQ(item.modificationTime, 1000000000);
  EXPECT_EQ(item.accessTime, 1100000000);
  EXPECT_EQ(item.creationTime, 1200000000);

  // Only the access time: the others keep the DOS time.
  ZipExtractor accessOnly;
  const std::string onlyAccess = zip_test::ExtendedTimestamp(0x02, {1100000000});
  ASSERT_EQ(accessOnly.OpenArchive(Archive(BuildZip({{.name = "a", .data = "a", .localExtra = onlyAccess}}), "b.zip")),
            ZipResult::kOk);
  ASSERT_EQ(accessOnly.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.accessTime, 1100000000);
  EXPECT_EQ(item.modificationTime, 1744459200);

  // A block that announces more times than it holds gives only those it holds.
  ZipExtractor shortBlock;
  std::string cut = zip_test::ExtendedTimestamp(0x07, {1000000000});
  ASSERT_EQ(shortBlock.OpenArchive(Archive(BuildZip({{.name = "s", .data = "s", .localExtra = cut}}), "c.zip")),
            ZipResult::kOk);
  ASSERT_EQ(shortBlock.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.modificationTime, 1000000000);
  EXPECT_EQ(item.accessTime, 1744459200);
}

}  // namespace
