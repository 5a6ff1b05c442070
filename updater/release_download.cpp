#include "updater/release_download.h"

#include <optional>

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
  // The body goes straight to a fresh file beside the saved release as it arrives: a release of
  // any size costs the download's buffer, not its size, in memory.
  std::optional<IncomingRelease> incoming(std::in_place, SavedPath());
  WinHttpClient client(offer_.url);
  client.additionalHeaders.clear();
  client.userAgent = WinHttpClient::kBrowserUserAgent;
  client.progressTarget = &gate_;
  client.maxResponseBytes = WinHttpClient::kMaxReleaseBytes;
  client.responseFile = incoming->Descriptor();
  bool answered = incoming->Descriptor() >= 0 && client.SendRequest("GET", false);
  // A stop that was confirmed while the last chunks came in writes and shows nothing.
  if (gate_.Abandoned()) {
    running_ = false;
    return;
  }
  // What an earlier run left under the name must never start in place of this download, nor stay
  // to be taken for it.
  RemoveSavedRelease(SavedPath());
  if (answered && PlaceAndStart(client, *incoming)) {
    endProcess_();
    return;
  }
  // The refused bytes are gone before the window says so.
  incoming.reset();
  window_.PostMessage(startFailed_, 0, 0);
  running_ = false;
}

bool ReleaseDownload::PlaceAndStart(const WinHttpClient& client, IncomingRelease& incoming) {
  // Judged from the file itself: what is renamed into place and started is exactly what was checked.
  if (JudgeReleaseFile(client.GetResponseHeaders(), incoming.Descriptor(), client.GetResponseLength(), publicKeyHex_,
                       offer_.signature) != ReleaseVerdict::Accepted) {
    return false;
  }
  std::string path = SavedPath();
  return incoming.Place() && platform::StartProgram(path, folder_);
}
