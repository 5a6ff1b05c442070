// Stopping a download: the question holds it where it is; "取消" lets it go on from there, "确定"
// ends the updater with nothing written.
#include <gtest/gtest.h>

#include "testing/loopback_server.h"
#include "toolkit/testing/headless.h"
#include "updater/tests/updater_rig.h"

using namespace updater_testing;
using testing_support::LoopbackServer;
using toolkit_testing::Headless;

namespace {

constexpr size_t kReleaseBytes = 200000;

// Offers a 200,000-byte release whose first 10,000 bytes come in small pieces and the rest only
// after the test releases the server.
class Stop : public UpdaterTest {
 protected:
  void SetUp() override {
    UpdaterTest::SetUp();
    release_ = std::string(kReleaseProgram) + "#" + std::string(kReleaseBytes - std::strlen(kReleaseProgram) - 2, 'x') +
               "\n";
    server_.server().Post("/", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string(kDeclaration) + "<vymera_get><donload><url>" + server_.Url("/release") + "</url></donload></vymera_get>",
                           "text/xml");
    });
    server_.server().Get("/release", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(release_.size(), "application/octet-stream",
                                    [this](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset >= 10000) {
                                        server_.Stall(std::chrono::seconds(5));
                                        return sink.write(release_.data() + offset, release_.size() - offset);
                                      }
                                      std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                      return sink.write(release_.data() + offset, 1000);
                                    });
    });
    ASSERT_GT(server_.Start(), 0);
    ASSERT_TRUE(Open(server_.Url("/")));
    ASSERT_TRUE(PumpUntil([this] { return Text("updatetext").rfind("正在下载中", 0) == 0; }));
  }

  // Clicks control in main, then answers the question with answer once it stands, after checking
  // that the download holds still while it is open.
  void AskAndAnswer(const char* control, const char* answer) {
    bool answered = false;
    Headless().SetIdleHandler([this, answer, &answered]() -> bool {
      HWND question = Question();
      if (!question || answered) return false;
      answered = true;
      std::string before = Text("updatetext");
      server_.Release();  // the rest may come now, but the held download must not take it
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      Pump();
      heldStill_ = Text("updatetext") == before && before != "正在下载中，当前进度100%..." &&
                   !platform::PathExists(SavedFile());
      EXPECT_TRUE(toolkit::headless::Click(question, answer));
      return true;
    });
    ASSERT_TRUE(toolkit::headless::Click(hwnd_, control));
    Headless().SetIdleHandler(nullptr);
    EXPECT_EQ(Question(), nullptr);
  }

  // The stop question: the one window beside the updater's own.
  HWND Question() const {
    for (HWND h : toolkit::AllWindows()) {
      if (h != hwnd_) return h;
    }
    return nullptr;
  }

  std::string release_;
  LoopbackServer server_;
  bool heldStill_ = false;
};

TEST_F(Stop, CancelInTheQuestionResumesWhereItWas) {
  AskAndAnswer("取消", "取消");
  EXPECT_TRUE(heldStill_);
  EXPECT_FALSE(ended_);
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
  EXPECT_EQ(platform::ReadWholeFile(SavedFile()).value_or(""), release_);
  EXPECT_TRUE(MarkerAppears());
  EXPECT_EQ(server_.SeenCount(), 2u);  // one query, one download: it went on, it did not start again
}

TEST_F(Stop, CloseButtonThenCloseInTheQuestionAlsoResumes) {
  AskAndAnswer("closebtn", "closebtn");
  EXPECT_TRUE(heldStill_);
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
}

TEST_F(Stop, ConfirmEndsTheUpdaterWithNothingWritten) {
  AskAndAnswer("closebtn", "确定");
  EXPECT_TRUE(heldStill_);
  EXPECT_TRUE(ended_);
  ASSERT_TRUE(PumpUntil([this] { return !window_->Download()->Running(); }));
  EXPECT_FALSE(platform::PathExists(SavedFile()));
  EXPECT_FALSE(platform::PathExists(folder_.File("marker")));
}

}  // namespace
