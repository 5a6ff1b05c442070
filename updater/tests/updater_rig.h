#pragma once
// What the updater tests share: a reference service on loopback with a published release that
// leaves a marker when it runs, release key pairs, and an updater window driven headless until it
// ends.

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "service/admin/admin_commands.h"
#include "service/http_server.h"
#include "service/service_data.h"
#include "service/store/sqlite.h"
#include "toolkit/testing/headless.h"
#include "toolkit/testing/headless_fixture.h"
#include "updater/renewix_dlg.h"

namespace updater_testing {

// Every answer of the service opens with it; a text without one is no document to the reader.
inline constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// The release: a program that leaves "marker" in its current folder.
inline constexpr const char* kReleaseProgram = "#!/bin/sh\necho started > marker\n";

// Makes a P-256 key pair with the openssl tool, as the README tells publishers to: the private key
// in the PEM file pem, and the hex of the public key's point (what a build is given) returned.
inline std::string MakeReleaseKey(const std::string& pem) {
  std::string make = "openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out '" + pem + "' 2>/dev/null";
  if (std::system(make.c_str()) != 0) return {};
  std::string show = "openssl pkey -in '" + pem + "' -pubout -outform DER | tail -c 65 | od -An -tx1 | tr -d ' \\n'";
  std::string hex;
  if (std::FILE* pipe = popen(show.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) hex += buffer;
    pclose(pipe);
  }
  return hex;
}

class ReferenceService {
 public:
  explicit ReferenceService(const testing_support::TempFolder& folder) {
    ok_ = database_.Open(folder.File("service.db"));
    data_ = std::make_unique<service::ServiceData>(database_, folder.File("releases"));
    server_ = std::make_unique<service::HttpServer>(*data_, 4);
    std::string error;
    ok_ = ok_ && server_->Start("127.0.0.1", 0, error);
  }
  bool ok() const { return ok_; }
  std::string Endpoint() const { return "http://127.0.0.1:" + std::to_string(server_->port()) + "/"; }

  // Runs "publish" with the given words; its exit code.
  int Publish(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    return service::RunAdminCommand("publish", words, *data_, out, err);
  }

 private:
  bool ok_ = false;
  service::Database database_;
  std::unique_ptr<service::ServiceData> data_;
  std::unique_ptr<service::HttpServer> server_;
};

class UpdaterTest : public toolkit_testing::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    toolkit::headless::Desktop().Reset();
    CPaintManagerUI::SetResourcePath(CStdString(std::string(VYMERA_UPDATER_SKIN_FOLDER)));
    CPaintManagerUI::SetResourceZip("res.zip");
  }
  void TearDown() override {
    Close();
    HeadlessTest::TearDown();
  }

  // A key pair of the publisher's, made once per test: the hex of its public key.
  const std::string& PublisherKey() {
    if (publisherKey_.empty()) publisherKey_ = MakeReleaseKey(folder_.File("publisher.pem"));
    return publisherKey_;
  }
  std::string PublisherPem() {
    PublisherKey();
    return folder_.File("publisher.pem");
  }

  // Opens the updater window as the program does, with this test's folder and key.
  CRenewixDlg* Open(const std::string& endpoint, const std::string& key = {}) {
    CRenewixDlg::Setup setup{endpoint, folder_.path(), key, [this] { ended_ = true; }};
    window_ = toolkit::OpenWindow<CRenewixDlg>(nullptr, "升级软件", UI_WNDSTYLE_FRAME, 0, RECT{0, 0, 850, 600},
                                               std::move(setup));
    if (window_) hwnd_ = window_->GetHWND();
    return window_;
  }
  void Close() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    window_ = nullptr;
  }

  // Handles the window's messages until the download has started the release or given up, and
  // the window has shown what it shows for that.
  bool DownloadSettled() {
    return PumpUntil([this] {
      bool stopped = ended_ || !window_->Download() || !window_->Download()->Running();
      return stopped && (ended_ || !toolkit::headless::Desktop().MessageBoxes().empty());
    });
  }

  // The text of the last message box; every box of the updater stands alone under its caption.
  std::string LastMessage() const {
    const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
    if (boxes.empty()) return {};
    EXPECT_EQ(boxes.back().caption, "软件升级");
    EXPECT_EQ(boxes.back().owner, nullptr);
    return boxes.back().text;
  }
  std::string Text(const char* control) { return window_->Manager().FindControl(control)->GetText().str(); }
  std::string SavedFile() const { return folder_.File("updatetemp"); }
  bool MarkerAppears() {
    return PumpUntil([this] { return platform::PathExists(folder_.File("marker")); });
  }
  std::string WriteRelease(const std::string& name, const std::string& bytes = kReleaseProgram) {
    std::string path = folder_.File(name);
    platform::WriteFileAtomically(path, bytes);
    return path;
  }

  testing_support::TempFolder folder_;
  CRenewixDlg* window_ = nullptr;
  HWND hwnd_ = nullptr;
  std::atomic<bool> ended_{false};

 private:
  std::string publisherKey_;
};

}  // namespace updater_testing
