// Opening archives: finding the end record, refusing what is not one single-disk archive.
#include "common/zip/zip_archive.h"
#include "common/zip/zip_extractor.h"
#include "zip_test_writer.h"

namespace {

using zip_test::BuildZip;
using zip_test::Entry;
using zip_test::Layout;

class ZipOpen : public zip_test::InTempFolder {};

std::vector<Entry> TwoItems() { return {{.name = "a.txt", .data = "alpha"}, {.name = "b.txt", .data = "beta"}}; }

TEST_F(ZipOpen, FindsTheEndRecordOnlyWithinTheLast65535Bytes) {
  // The record is 22 bytes; its signature must start within the last 65535 bytes of the file.
  ZipExtractor near;
  // Two files: an archive open for reading cannot be replaced on Windows.
  EXPECT_EQ(near.OpenArchive(Archive(BuildZip(TwoItems(), {.trailer = std::string(65513, 'x')}), "near.zip")),
            ZipResult::kOk);
  ZipExtractor far;
  EXPECT_EQ(far.OpenArchive(Archive(BuildZip(TwoItems(), {.trailer = std::string(65514, 'x')}), "far.zip")),
            ZipResult::kReadError);
  EXPECT_FALSE(far.IsOpen());
}

TEST_F(ZipOpen, TakesTheEndRecordNearestTheEnd) {
  // A second, bogus signature in the trailer is found first and names a directory that is not there.
  std::string bogus = std::string("PK\x05\x06", 4) + std::string(18, '\x01');
  ZipExtractor zip;
  EXPECT_EQ(zip.OpenArchive(Archive(BuildZip(TwoItems(), {.trailer = bogus}))), ZipResult::kReadError);
}

TEST_F(ZipOpen, RefusesFilesThatAreNoSingleDiskArchive) {
  ZipExtractor zip;
  EXPECT_EQ(zip.OpenArchive(Path("missing.zip")), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.OpenArchive(Archive("just some text, no archive")), ZipResult::kReadError);
  EXPECT_EQ(zip.OpenArchive(Archive("")), ZipResult::kReadError);
  EXPECT_EQ(zip.OpenArchive(Archive(BuildZip(TwoItems(), {.thisDisk = 1}))), ZipResult::kReadError);
  EXPECT_EQ(zip.OpenArchive(Archive(BuildZip(TwoItems(), {.directoryDisk = 1}))), ZipResult::kReadError);
  EXPECT_EQ(zip.OpenArchive(Archive(BuildZip(TwoItems(), {.entriesOnThisDisk = 1}))), ZipResult::kReadError);
  // A directory said to reach past the end record.
  EXPECT_EQ(zip.OpenArchive(Archive(BuildZip(TwoItems(), {.directoryOffset = 1000}))), ZipResult::kReadError);
  EXPECT_FALSE(zip.IsOpen());
  EXPECT_EQ(ZipArchive::Open(Path("missing.zip")), nullptr);
  EXPECT_EQ(ZipArchive::Open(Archive(BuildZip(TwoItems(), {.thisDisk = 1}))), nullptr);
}

TEST_F(ZipOpen, RefusesFolders) {
  ZipExtractor zip;
  EXPECT_EQ(zip.OpenArchive(Work("")), ZipResult::kReadError);
  EXPECT_EQ(zip.OpenArchive(Path("work")), ZipResult::kReadError);
  EXPECT_FALSE(zip.IsOpen());
}

TEST_F(ZipOpen, OneArchiveAtATimePerExtractor) {
  const std::string path = Archive(BuildZip(TwoItems()));
  ZipExtractor zip;
  ZipItem item;
  EXPECT_EQ(zip.GetItem(-1, item), ZipResult::kBadArgument);
  EXPECT_EQ(zip.ExtractItem(0, "a.txt"), ZipResult::kBadArgument);
  EXPECT_EQ(zip.CloseArchive(), ZipResult::kBadArgument);
  ASSERT_EQ(zip.OpenArchive(path), ZipResult::kOk);
  EXPECT_EQ(zip.OpenArchive(path), ZipResult::kAlreadyOpen);
  EXPECT_EQ(zip.CloseArchive(), ZipResult::kOk);
  EXPECT_EQ(zip.OpenArchive(path), ZipResult::kOk);
}

}  // namespace
