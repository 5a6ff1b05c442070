// The answer a release must be, and how it reaches the disk.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "service/admin/release_signer.h"
#include "updater/release_check.h"
#include "updater/saved_release.h"
#include "updater/tests/updater_rig.h"

namespace {

using testing_support::TempFolder;

class JudgedRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = updater_testing::MakeReleaseKey(folder_.File("k.pem"));
    ASSERT_EQ(key_.size(), 130u);
    std::string problem;
    signature_ = service::SignRelease(folder_.File("k.pem"), kBody, problem).value_or("");
    ASSERT_EQ(signature_.size(), 128u) << problem;
  }
  ReleaseVerdict Judge(const std::string& headers, std::string_view body = kBody) {
    return JudgeRelease(headers, body, key_, signature_);
  }

  static constexpr std::string_view kBody = "#!/bin/sh\necho release\n";
  TempFolder folder_;
  std::string key_;
  std::string signature_;
};

TEST_F(JudgedRelease, OnlyASuccessStatusIsARelease) {
  EXPECT_EQ(Judge("HTTP/1.1 200 OK\r\n\r\n"), ReleaseVerdict::Accepted);
  EXPECT_EQ(Judge("HTTP/2 200\r\n\r\n"), ReleaseVerdict::Accepted);
  EXPECT_EQ(Judge("HTTP/1.0 203 Non-Authoritative Information\r\n\r\n"), ReleaseVerdict::Accepted);
  for (const char* status : {"HTTP/1.1 199 X\r\n", "HTTP/1.1 302 Found\r\n", "HTTP/1.1 404 Not Found\r\n",
                             "HTTP/1.1 500 Internal Server Error\r\n", "", "\r\n",
                             "garbage 200 OK\r\n"}) {
    EXPECT_EQ(Judge(status), ReleaseVerdict::NotSuccess) << status;
  }
  // A status further down the block is another answer's, not this one's.
  EXPECT_EQ(Judge("HTTP/1.1 404 Not Found\r\nX: HTTP/1.1 200 OK\r\n\r\n"), ReleaseVerdict::NotSuccess);
}

TEST_F(JudgedRelease, TheBodyMustBeAsLongAsAnnounced) {
  auto withLength = [](size_t length) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
  };
  EXPECT_EQ(Judge(withLength(kBody.size())), ReleaseVerdict::Accepted);
  EXPECT_EQ(Judge(withLength(kBody.size() + 1)), ReleaseVerdict::Incomplete);
  EXPECT_EQ(Judge(withLength(kBody.size() - 1)), ReleaseVerdict::Incomplete);
  EXPECT_EQ(Judge("HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n"), ReleaseVerdict::Incomplete);
  EXPECT_EQ(Judge(withLength(0), ""), ReleaseVerdict::Incomplete);
  EXPECT_EQ(Judge("HTTP/1.1 200 OK\r\n\r\n", ""), ReleaseVerdict::Incomplete);  // nothing to start
}

TEST_F(JudgedRelease, ItMustBeSignedWithTheKey) {
  EXPECT_EQ(Judge("HTTP/1.1 200 OK\r\n\r\n", "#!/bin/sh\necho Release\n"), ReleaseVerdict::SignatureRefused);
  EXPECT_EQ(JudgeRelease("HTTP/1.1 200 OK\r\n\r\n", kBody, key_, ""), ReleaseVerdict::SignatureRefused);
  // A build without signed updates checks everything but the signature.
  EXPECT_EQ(JudgeRelease("HTTP/1.1 200 OK\r\n\r\n", kBody, "", ""), ReleaseVerdict::Accepted);
  EXPECT_EQ(JudgeRelease("HTTP/1.1 404 Not Found\r\n\r\n", kBody, "", ""), ReleaseVerdict::NotSuccess);
}

// The check of a release saved as it arrived reads the file back in pieces: a release longer than
// one piece verifies whole, and a change anywhere in it, or a file shorter than the answer, fails.
TEST_F(JudgedRelease, ASavedReleaseIsCheckedFromItsFile) {
  std::string release(700001, '\0');
  for (size_t i = 0; i < release.size(); ++i) release[i] = static_cast<char>(i * 7 + i / 4096);
  std::string problem;
  const std::string signature = service::SignRelease(folder_.File("k.pem"), release, problem).value_or("");
  ASSERT_EQ(signature.size(), 128u) << problem;
  const std::string path = folder_.File("incoming");
  auto judge = [&](const std::string& bytes, uint64_t length) {
    EXPECT_TRUE(platform::WriteFileAtomically(path, bytes));
    platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return JudgeReleaseFile("HTTP/1.1 200 OK\r\n\r\n", fd.get(), length, key_, signature);
  };
  EXPECT_EQ(judge(release, release.size()), ReleaseVerdict::Accepted);
  std::string changed = release;
  changed[600000] ^= 1;
  EXPECT_EQ(judge(changed, changed.size()), ReleaseVerdict::SignatureRefused);
  EXPECT_EQ(judge(release.substr(0, 500000), release.size()), ReleaseVerdict::SignatureRefused);
  EXPECT_EQ(judge(release, 0), ReleaseVerdict::Incomplete);
  EXPECT_EQ(JudgeReleaseFile("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", -1, 6, key_, signature),
            ReleaseVerdict::Incomplete);
  EXPECT_EQ(JudgeReleaseFile("HTTP/1.1 200 OK\r\n\r\n", -1, release.size(), key_, signature),
            ReleaseVerdict::SignatureRefused);
}

TEST(SavedRelease, AppearsWholeAndExecutableOrNotAtAll) {
  TempFolder folder;
  std::string path = folder.File("updatetemp");
  ASSERT_TRUE(platform::WriteFileAtomically(path, "an older download"));
  ASSERT_TRUE(SaveRelease(path, "the release"));
  EXPECT_EQ(platform::ReadWholeFile(path).value_or(""), "the release");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);

  // A folder that is not there cannot take it; a folder in the file's place is never replaced.
  EXPECT_FALSE(SaveRelease(folder.File("gone/updatetemp"), "the release"));
  std::filesystem::create_directory(folder.File("taken"));
  EXPECT_FALSE(SaveRelease(folder.File("taken"), "the release"));
  size_t entries = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
  EXPECT_EQ(entries, 2u);  // updatetemp and taken: no piece of a release is left behind

  RemoveSavedRelease(path);
  EXPECT_FALSE(platform::PathExists(path));
  RemoveSavedRelease(path);  // nothing there: nothing happens
}

}  // namespace
