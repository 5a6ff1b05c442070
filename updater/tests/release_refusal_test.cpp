// A download that is not whole, not a success, not signed by the publisher or cannot be written
// starts nothing: the updater shows that it could not start the release, and no file is left
// under the release's name, not even the one an earlier run left there.
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "testing/loopback_server.h"
#include "service/admin/release_signer.h"
#include "updater/tests/updater_rig.h"

using namespace updater_testing;
using testing_support::LoopbackServer;

namespace {

constexpr size_t kAnnounced = 200060;
constexpr size_t kSent = 60000;

// Every file this process writes stops at bytes, as on a disk that is full; the signal such a
// write raises is ignored, so the write fails instead.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
  bool ok_ = false;
};

class Refused : public UpdaterTest {
 protected:
  void SetUp() override {
    UpdaterTest::SetUp();
    ASSERT_EQ(PublisherKey().size(), 130u);
    release_ = std::string(kReleaseProgram) + "#" + std::string(kAnnounced - std::strlen(kReleaseProgram) - 2, 'x') + "\n";
    // An earlier run's download: a program that would leave the marker if it were started.
    WriteRelease("updatetemp");
    ASSERT_EQ(::chmod(SavedFile().c_str(), 0755), 0);
  }

  std::string Sign(const std::string& bytes) {
    std::string problem;
    std::string signature = service::SignRelease(PublisherPem(), bytes, problem).value_or("");
    EXPECT_EQ(signature.size(), 128u) << problem;
    return signature;
  }
  // The version answer: the release at address (a path on this server, or a whole URL), with
  // signature when there is one. Set before Start; the port is known when a request comes.
  void Offer(const std::string& address, const std::string& signature) {
    server_.server().Post("/", [this, address, signature](const httplib::Request&, httplib::Response& response) {
      std::string url = address.rfind("http", 0) == 0 ? address : server_.Url(address);
      std::string signed_ = signature.empty() ? "" : "<signature>" + signature + "</signature>";
      response.set_content(std::string(kDeclaration) + "<vymera_get><donload><url>" + url + "</url>" + signed_ +
                               "</donload></vymera_get>",
                           "text/xml");
    });
  }
  void Serve(const std::string& body, int status = 200) {
    server_.server().Get("/release", [body, status](const httplib::Request&, httplib::Response& response) {
      response.status = status;
      response.set_content(body, status == 200 ? "application/octet-stream" : "text/html");
    });
  }
  void Run() {
    ASSERT_GT(server_.Start(), 0);
    ASSERT_TRUE(Open(server_.Url("/"), PublisherKey()));
    ASSERT_TRUE(DownloadSettled());
  }

  // Names in the folder that begin with the release's name: the release, or a piece of one.
  std::vector<std::string> ReleaseFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      std::string name = entry.path().filename().string();
      if (name.rfind("updatetemp", 0) == 0) names.push_back(name);
    }
    return names;
  }
  bool Downloaded() const {
    for (const auto& request : server_.Seen())
      if (request.target == "/release") return true;
    return false;
  }
  void ExpectNothingStarted(bool downloaded = true) {
    EXPECT_EQ(Downloaded(), downloaded);  // refused for what it is, not for never arriving
    EXPECT_EQ(LastMessage(), "未知错误，未能启动升级软件");
    EXPECT_FALSE(ended_);
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_EQ(ReleaseFiles(), std::vector<std::string>{});
    // A program started by mistake would have left its marker by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(platform::PathExists(folder_.File("marker")));
  }

  std::string release_;
  LoopbackServer server_;
};

// The same server and release, whole and signed: started, in place of the earlier run's file.
TEST_F(Refused, NotAWholeSignedRelease) {
  Offer("/release", Sign(release_));
  Serve(release_);
  Run();
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(MarkerAppears());
  EXPECT_TRUE(platform::ReadWholeFile(SavedFile()) == release_);
  EXPECT_EQ(ReleaseFiles(), std::vector<std::string>{"updatetemp"});
}

// What arrives is even signed: only the announced length tells that it is not whole.
TEST_F(Refused, ABodyShorterThanItsAnnouncedLength) {
  Offer("/release", Sign(release_.substr(0, kSent)));
  server_.server().Get("/release", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(kAnnounced, "application/octet-stream",
                                  [this](size_t offset, size_t, httplib::DataSink& sink) {
                                    if (offset >= kSent) return false;  // the connection closes here
                                    return sink.write(release_.data() + offset, std::min<size_t>(10000, kSent - offset));
                                  });
  });
  Run();
  ExpectNothingStarted();
}

// The page is even signed: only its status tells that it is no release.
TEST_F(Refused, AnErrorPage) {
  std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
  Offer("/release", Sign(page));
  Serve(page, 404);
  Run();
  ExpectNothingStarted();
}

TEST_F(Refused, AReleaseChangedAfterSigning) {
  Offer("/release", Sign(release_));
  std::string changed = release_;
  changed[std::strlen(kReleaseProgram) + 5] = 'y';
  Serve(changed);
  Run();
  ExpectNothingStarted();
}

TEST_F(Refused, AReleaseWithoutSignature) {
  Offer("/release", "");
  Serve(release_);
  Run();
  ExpectNothingStarted();
}

TEST_F(Refused, ADownloadThatGetsNoAnswer) {
  Offer("http://127.0.0.1:1/release", Sign(release_));  // nobody listens there
  Run();
  ExpectNothingStarted(false);
}

TEST_F(Refused, AReleaseTheDiskCannotHold) {
  Offer("/release", Sign(release_));
  Serve(release_);
  ASSERT_GT(server_.Start(), 0);
  {
    FileSizeLimit full(kAnnounced / 2);
    ASSERT_TRUE(full.ok());
    ASSERT_TRUE(Open(server_.Url("/"), PublisherKey()));
    ASSERT_TRUE(DownloadSettled());
  }
  ExpectNothingStarted();
}

}  // namespace
