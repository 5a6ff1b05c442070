// The updater window against a reference service with a published release, and against loopback
// servers that answer the ways a real network can.
#include <sys/stat.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "testing/loopback_server.h"
#include "toolkit/testing/headless.h"
#include "platform/message_numbers.h"
#include "updater/tests/updater_rig.h"

using namespace updater_testing;
using testing_support::LoopbackServer;

namespace {

class Renewix : public UpdaterTest {};

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IXUSR);
}

// A service that offers the address of path on the same server, as the real one would. Handlers
// are all set before the server starts; the port is read when a request comes.
void OfferAddress(LoopbackServer& server, const std::string& path) {
  server.server().Post("/", [&server, path](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(kDeclaration) + "<vymera_get><donload><newversion>1.0.0.9</newversion><url>" + server.Url(path) +
                             "</url></donload></vymera_get>",
                         "text/xml");
  });
}

TEST_F(Renewix, FullRunSavesAndStartsTheReleaseThenEnds) {
  ReferenceService service(folder_);
  ASSERT_TRUE(service.ok());
  ASSERT_EQ(service.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", PublisherPem()}), 0);
  platform::WriteFileAtomically(SavedFile(), "an older download");  // overwritten, not kept

  ASSERT_TRUE(Open(service.Endpoint(), PublisherKey()));
  EXPECT_EQ(Text("updatecontent"), "1.0.1.1\r\n1、修复已知bug\r\n2、新增一些功能\r\n");
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(MarkerAppears());
  EXPECT_EQ(platform::ReadWholeFile(SavedFile()).value_or(""), kReleaseProgram);
  EXPECT_TRUE(IsExecutable(SavedFile()));
  EXPECT_EQ(Text("updatetext"), "正在下载中，当前进度100%...");
  EXPECT_TRUE(IsWindow(hwnd_));  // the updater ends with its window still shown
}

TEST_F(Renewix, NothingOnOfferSaysSoAndTheCloseButtonEnds) {
  ReferenceService service(folder_);  // no release published: the answer has no "donload"
  ASSERT_TRUE(service.ok());
  ASSERT_TRUE(Open(service.Endpoint()));
  EXPECT_EQ(LastMessage(), "创建连接失败！");
  EXPECT_EQ(window_->Download(), nullptr);
  EXPECT_EQ(Text("updatetext"), "正在创建连接...");
  EXPECT_FALSE(ended_);
  ASSERT_TRUE(toolkit::headless::Click(hwnd_, "closebtn"));
  EXPECT_TRUE(ended_);
}

TEST_F(Renewix, CancelWithoutADownloadEnds) {
  ASSERT_TRUE(Open("http://127.0.0.1:1/"));  // nobody listens
  EXPECT_EQ(LastMessage(), "创建连接失败！");
  ASSERT_TRUE(toolkit::headless::Click(hwnd_, "取消"));
  EXPECT_TRUE(ended_);
}

TEST_F(Renewix, ProgressShowsWholePercentsAndKilobytes) {
  ASSERT_TRUE(Open("http://127.0.0.1:1/"));
  auto* bar = dynamic_cast<CProgressUI*>(window_->Manager().FindControl("downprogress"));
  ASSERT_TRUE(bar);
  SendMessage(hwnd_, platform::kMsgHttpProgress, 500, 100000);  // below 1 %: nothing changes
  SendMessage(hwnd_, platform::kMsgHttpProgress, 50, 0);        // no length: nothing to show
  EXPECT_EQ(Text("updatetext"), "正在创建连接...");
  EXPECT_EQ(bar->GetValue(), 0);
  SendMessage(hwnd_, platform::kMsgHttpProgress, 1000, 100000);
  EXPECT_EQ(Text("updatetext"), "正在下载中，当前进度1%...");
  EXPECT_EQ(bar->GetValue(), 1);
  EXPECT_EQ(bar->GetMaxValue(), 100);
  SendMessage(hwnd_, platform::kMsgHttpProgress, 4294967295u, 4294967295u);  // the full 32-bit range
  EXPECT_EQ(Text("updatetext"), "正在下载中，当前进度100%...");
}

TEST_F(Renewix, DownloadWithoutLengthWorksAndShowsNoProgress) {
  LoopbackServer server;
  OfferAddress(server, "/file");
  server.server().Get("/file", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/octet-stream", [](size_t, httplib::DataSink& sink) {
      sink.write(kReleaseProgram, std::strlen(kReleaseProgram));
      sink.done();
      return true;
    });
  });
  ASSERT_GT(server.Start(), 0);
  ASSERT_TRUE(Open(server.Url("/")));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(MarkerAppears());
  EXPECT_EQ(Text("updatetext"), "正在创建连接...");
}

TEST_F(Renewix, DownloadFollowsRedirectsButTheQueryDoesNot) {
  LoopbackServer server;
  OfferAddress(server, "/old");
  server.server().Get("/old", [&](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(server.Url("/new"));
  });
  server.server().Get("/new", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kReleaseProgram, "application/octet-stream");
  });
  ASSERT_GT(server.Start(), 0);
  ASSERT_TRUE(Open(server.Url("/")));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(MarkerAppears());
  Close();

  LoopbackServer moved;
  moved.server().Post("/", [&](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(server.Url("/"), 307);
  });
  ASSERT_GT(moved.Start(), 0);
  ASSERT_TRUE(Open(moved.Url("/")));
  EXPECT_EQ(window_->Download(), nullptr);
  EXPECT_EQ(LastMessage(), "创建连接失败！");
}

TEST_F(Renewix, AnAddressTooLongForTheFormatIsNoOffer) {
  LoopbackServer server;
  OfferAddress(server, "/" + std::string(300, 'a'));
  ASSERT_GT(server.Start(), 0);
  ASSERT_TRUE(Open(server.Url("/")));
  EXPECT_EQ(window_->Download(), nullptr);
}

TEST_F(Renewix, AReleaseThatCannotStartIsReportedAndTheWindowStays) {
  ReferenceService service(folder_);
  ASSERT_TRUE(service.ok());
  // Signed and whole, but no program.
  ASSERT_EQ(service.Publish({"1.0.0.9", WriteRelease("notes.txt", "not a program"), "--key", PublisherPem()}), 0);
  ASSERT_TRUE(Open(service.Endpoint(), PublisherKey()));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_EQ(LastMessage(), "未知错误，未能启动升级软件");
  EXPECT_FALSE(ended_);
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_EQ(platform::ReadWholeFile(SavedFile()).value_or(""), "not a program");  // left where it is
}

}  // namespace
