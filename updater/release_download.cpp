#include "updater/release_download.h"

#include "common/http/win_http_client.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "updater/release_check.h"
#include "updater/saved_release.h"

ReleaseDownload::ReleaseDownload(ReleaseOffer offer, std::string folder, std::string publicKeyHex,
                                 platform::MessageTarget& window, unsigned startFailed,
                                 std::function<void()> endProcess)
    : offer_(std::move(offer)),
      folder_(std::move(folder)),
      publicKeyHex_(std::move(publicKeyHex)),
      window_(window),
      startFailed_(startFailed),
      endProcess_(std::move(endProcess)),
      gate_(window) {}

ReleaseDownload::~ReleaseDownload() {
  gate_.Abandon();
  if (thread_.joinable()) thread_.join();
}

void ReleaseDownload::Start() {
  if (thread_.joinable()) return;
  // Set before the thread runs, so the window never sees a download that has begun as idle.
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

std::string ReleaseDownload::SavedPath() const { return platform::JoinPath(folder_, kSavedFileName); }

void ReleaseDownload::Run() {
  WinHttpClient client(offer_.url);
  client.additionalHeaders.clear();
  client.userAgent = WinHttpClient::kBrowserUserAgent;
  client.progressTarget = &gate_;
  client.maxResponseBytes = WinHttpClient::kMaxReleaseBytes;
  bool answered = client.SendRequest("GET", false);
  // A stop that was confirmed while the last chunks came in writes and shows nothing.
  if (gate_.Abandoned()) {
    running_ = false;
    return;
  }
  // What an earlier run left under the name must never start in place of this download, nor stay
  // to be taken for it.
  RemoveSavedRelease(SavedPath());
  if (answered && SaveAndStart(client)) {
    endProcess_();
    return;
  }
  window_.PostMessage(startFailed_, 0, 0);
  running_ = false;
}

bool ReleaseDownload::SaveAndStart(const WinHttpClient& client) {
  const uint8_t* bytes = client.GetResponseBytes();
  std::string_view body(reinterpret_cast<const char*>(bytes), bytes ? client.GetResponseLength() : 0);
  if (JudgeRelease(client.GetResponseHeaders(), body, publicKeyHex_, offer_.signature) != ReleaseVerdict::Accepted) {
    return false;
  }
  std::string path = SavedPath();
  return SaveRelease(path, body) && platform::StartProgram(path, folder_);
}
