#include "platform/profile_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using namespace platform;
using testing_support::TempFolder;

namespace {

std::string Read(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

}  // namespace

TEST(ProfileFile, MissingFileSectionOrKeyGivesTheDefault) {
  TempFolder dir;
  WriteFileAtomically(dir.File("a.ini"), "[one]\r\nx=5\r\n");
  ProfileFile missing = ProfileFile::Load(dir.File("none.ini"));
  EXPECT_EQ(missing.GetInt("one", "x", 7), 7);
  ProfileFile file = ProfileFile::Load(dir.File("a.ini"));
  EXPECT_EQ(file.GetInt("two", "x", 7), 7);
  EXPECT_EQ(file.GetInt("one", "y", 7), 7);
  EXPECT_EQ(file.GetString("one", "y", "d"), "d");
  EXPECT_EQ(file.GetInt("one", "x", 7), 5);
}

TEST(ProfileFile, NamesMatchWithoutAsciiCaseAndFirstMatchWins) {
  TempFolder dir;
  WriteFileAtomically(dir.File("a.ini"), "[Main]\r\n  AutoStart = 1 \r\nautostart=2\r\n[main]\r\nAUTOSTART=3\r\n");
  ProfileFile file = ProfileFile::Load(dir.File("a.ini"));
  EXPECT_EQ(file.GetInt("MAIN", "autoSTART", 0), 1);
}

TEST(ProfileFile, ValuesAreTrimmedAndUnquoted) {
  TempFolder dir;
  WriteFileAtomically(dir.File("a.ini"), "[s]\r\na= \"quoted value\" \r\nb='x'\r\nc=\"half\r\nd=\r\n");
  ProfileFile file = ProfileFile::Load(dir.File("a.ini"));
  EXPECT_EQ(file.GetString("s", "a", ""), "quoted value");
  EXPECT_EQ(file.GetString("s", "b", ""), "x");
  EXPECT_EQ(file.GetString("s", "c", ""), "\"half");
  EXPECT_EQ(file.GetString("s", "d", "default"), "");
  EXPECT_EQ(file.GetInt("s", "d", 42), 42);  // an empty value reads as the default number
}

TEST(ProfileFile, IntegersReadLikeTheWindowsProfileFunctions) {
  TempFolder dir;
  WriteFileAtomically(dir.File("a.ini"), "[s]\r\na=-12xyz\r\nb=abc\r\nc=99999999999\r\nd=+7\r\n");
  ProfileFile file = ProfileFile::Load(dir.File("a.ini"));
  EXPECT_EQ(file.GetInt("s", "a", 0), -12);
  EXPECT_EQ(file.GetInt("s", "b", 5), 0);
  EXPECT_EQ(file.GetInt("s", "c", 0), 2147483647);
  EXPECT_EQ(file.GetInt("s", "d", 0), 7);
}

TEST(ProfileFile, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
  TempFolder dir;
  std::string path = dir.File("a.ini");
  WriteFileAtomically(path, "; comment\r\n[s]\r\nx=1\r\n; inner\r\ny=2\r\n\r\n[t]\r\nz=3\r\nodd line\r\n");
  ProfileFile file = ProfileFile::Load(path);
  file.Set("S", "Y", "20");    // replaced in place, caller's spelling
  file.Set("s", "new", "n");   // added at the end of its section, before the blank line
  file.Set("u", "k", "v");     // a new section at the end
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(Read(path), "; comment\r\n[s]\r\nx=1\r\n; inner\r\nY=20\r\nnew=n\r\n\r\n[t]\r\nz=3\r\nodd line\r\n[u]\r\nk=v\r\n");
}

TEST(ProfileFile, WritingCreatesTheFileInTheCodePage) {
  TempFolder dir;
  std::string path = dir.File("new.ini");
  ProfileFile file = ProfileFile::Load(path);
  file.Set("系统设置", "密码", "口令ü");
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(Read(path), ToCodePage("[系统设置]\r\n密码=口令ü\r\n"));
  EXPECT_EQ(ProfileFile::Load(path).GetString("系统设置", "密码", ""), "口令ü");
}

TEST(ProfileFile, GbkTrailBytesThatLookLikeLettersDoNotFoldCase) {
  // "羃" is 0x81 0x5A in GBK; its trail byte is 'Z'. Folding bytes instead of characters would
  // match the key "羃" against a key whose trail byte is 'z'.
  TempFolder dir;
  std::string path = dir.File("a.ini");
  WriteFileAtomically(path, "[s]\r\n\x81zq=1\r\n");
  ProfileFile file = ProfileFile::Load(path);
  EXPECT_EQ(file.GetInt("s", FromCodePage("\x81Zq"), 9), 9);
}

TEST(ProfileFile, LineBreaksInValuesCannotAddLines) {
  TempFolder dir;
  std::string path = dir.File("a.ini");
  ProfileFile file = ProfileFile::Load(path);
  file.Set("s", "a", "x\r\n[s]\r\nb=1");
  ASSERT_TRUE(file.Save());
  ProfileFile again = ProfileFile::Load(path);
  EXPECT_EQ(again.GetInt("s", "b", -1), -1);
  EXPECT_EQ(again.GetString("s", "a", ""), "x  [s]  b=1");
}

TEST(ProfileFile, Utf16FileIsReadAndWrittenBackAsUtf16) {
  TempFolder dir;
  std::string path = dir.File("a.ini");
  WriteFileAtomically(path, "\xFF\xFE" + Utf8ToUtf16Le("[s]\r\nname=中文\r\nkeep=😀\r\n"));
  ProfileFile file = ProfileFile::Load(path);
  EXPECT_EQ(file.GetString("s", "name", ""), "中文");
  file.Set("s", "name", "新");
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(Read(path), "\xFF\xFE" + Utf8ToUtf16Le("[s]\r\nname=新\r\nkeep=😀\r\n"));
}

TEST(ProfileFile, GarbageAndTruncatedFilesNeverLoseBytesOnWrite) {
  TempFolder dir;
  std::string path = dir.File("a.ini");
  std::string garbage("\x00\x01\xFE\xFF\x81\n[s\r\n=\r\n\x80", 14);
  WriteFileAtomically(path, garbage);
  ProfileFile file = ProfileFile::Load(path);
  EXPECT_EQ(file.GetInt("s", "", 3), 3);
  file.Set("s", "k", "v");
  ASSERT_TRUE(file.Save());
  std::string after = Read(path);
  EXPECT_EQ(after.substr(0, 7), garbage.substr(0, 5) + "\r\n");  // only the line end is normalised
  EXPECT_NE(after.find("\x80"), std::string::npos);
  EXPECT_NE(after.find("k=v\r\n"), std::string::npos);
}

TEST(ProfileFile, AFileThatCannotBeReadIsNeverReplaced) {
  TempFolder dir;
  std::string folder = dir.File("folder.ini");
  std::filesystem::create_directory(folder);
  ProfileFile file = ProfileFile::Load(folder);
  file.Set("s", "k", "v");
  EXPECT_FALSE(file.Save());

  std::string big = dir.File("big.ini");
  WriteFileAtomically(big, std::string(kMaxReadBytes + 1, 'a'));
  ProfileFile huge = ProfileFile::Load(big);
  EXPECT_EQ(huge.GetInt("s", "k", 4), 4);
  huge.Set("s", "k", "v");
  EXPECT_FALSE(huge.Save());
  EXPECT_EQ(std::filesystem::file_size(big), kMaxReadBytes + 1);
}
