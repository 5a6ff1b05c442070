// The download without its window, on every platform: what a refused or failed release leaves, the
// name the release is started by, and the saved release that appears whole or not at all.
#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/bounded_wait.h"
#include "testing/loopback_server.h"
#include "testing/temp_folder.h"
#include "updater/release_check.h"
#include "updater/release_download.h"
#include "updater/saved_release.h"

namespace {

using testing_support::TempFolder;

constexpr unsigned kStartFailed = 0x8123;

// The window the download reports to: records what is posted to it.
class RecordingWindow : public platform::MessageTarget {
 public:
  bool PostMessage(unsigned message, uintptr_t, intptr_t) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
    return true;
  }
  bool Got(unsigned message) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (unsigned m : messages_) {
      if (m == message) return true;
    }
    return false;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<unsigned> messages_;
};

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

class ReleaseDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Get("/release", [this](const httplib::Request&, httplib::Response& response) {
      response.status = status_;
      response.set_content(body_, "application/octet-stream");
    });
    ASSERT_GT(server_.Start(), 0);
  }

  // Runs a download of the served release to its end; true when it reported a failure.
  bool Download(const std::string& key, const std::string& signature) {
    std::atomic<bool> ended{false};
    ReleaseDownload download({server_.Url("/release"), signature}, folder_.path(), key, window_, kStartFailed,
                             [&] { ended = true; });
    download.Start();
    EXPECT_TRUE(testing_support::WaitUntil([&] { return !download.Running() || ended; }));
    return window_.Got(kStartFailed) && !ended;
  }

  testing_support::LoopbackServer server_;
  TempFolder folder_;
  RecordingWindow window_;
  int status_ = 200;
  std::string body_ = "not a program";
};

// The name the release is started by: Windows starts a program only by its extension.
TEST_F(ReleaseDownloadTest, TheReleaseIsSavedUnderTheProgramName) {
  ReleaseDownload download({}, folder_.path(), "", window_, kStartFailed, [] {});
#ifdef _WIN32
  EXPECT_EQ(download.SavedPath(), folder_.path() + "/updatetemp.exe");
#else
  EXPECT_EQ(download.SavedPath(), folder_.path() + "/updatetemp");
#endif
}

// A refused answer leaves nothing: neither its own bytes nor what an earlier run saved.
TEST_F(ReleaseDownloadTest, ARefusedReleaseLeavesNothing) {
  ASSERT_TRUE(platform::WriteFileAtomically(folder_.File(ReleaseDownload::kSavedFileName), "an earlier download"));
  // A key with no signature refuses every release.
  EXPECT_TRUE(Download(std::string(130, '4'), ""));
  EXPECT_TRUE(Names(folder_.path()).empty());

  status_ = 404;
  EXPECT_TRUE(Download("", ""));
  EXPECT_TRUE(Names(folder_.path()).empty());
}

// Bytes that are no program are saved whole, fail to start, and stay for the user to see.
TEST_F(ReleaseDownloadTest, AReleaseThatDoesNotStartStaysSaved) {
  EXPECT_TRUE(Download("", ""));
  EXPECT_EQ(Names(folder_.path()), std::vector<std::string>{ReleaseDownload::kSavedFileName});
  EXPECT_EQ(platform::ReadWholeFile(folder_.File(ReleaseDownload::kSavedFileName)), body_);
}

TEST(PortableSavedRelease, AppearsWholeOrNotAtAll) {
  TempFolder folder;
  std::string path = folder.File(ReleaseDownload::kSavedFileName);
  ASSERT_TRUE(platform::WriteFileAtomically(path, "an older download"));
  ASSERT_TRUE(SaveRelease(path, "the release"));
  EXPECT_EQ(platform::ReadWholeFile(path).value_or(""), "the release");

  EXPECT_FALSE(SaveRelease(folder.File("gone/release"), "the release"));
  std::filesystem::create_directory(folder.File("taken"));
  EXPECT_FALSE(SaveRelease(folder.File("taken"), "the release"));
  EXPECT_EQ(Names(folder.path()).size(), 2u);  // the release and taken: no piece of one is left behind

  RemoveSavedRelease(path);
  EXPECT_FALSE(platform::PathExists(path));
}

TEST(PortableJudgedRelease, AnUnsignedBuildStillChecksTheAnswer) {
  EXPECT_EQ(JudgeRelease("HTTP/1.1 200 OK\r\n\r\n", "bytes", "", ""), ReleaseVerdict::Accepted);
  EXPECT_EQ(JudgeRelease("HTTP/1.1 302 Found\r\n\r\n", "bytes", "", ""), ReleaseVerdict::NotSuccess);
  EXPECT_EQ(JudgeRelease("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n", "bytes", "", ""), ReleaseVerdict::Incomplete);
  EXPECT_EQ(JudgeRelease("HTTP/1.1 200 OK\r\n\r\n", "bytes", std::string(130, '4'), std::string(128, '0')),
            ReleaseVerdict::SignatureRefused);
}

}  // namespace
