#include "updater/release_download.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/http/win_http_client.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "updater/release_signature.h"

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
  // A stop that was confirmed while the last chunks came in writes nothing.
  if (answered && !gate_.Abandoned() && SaveAndStart(client)) {
    endProcess_();
    return;
  }
  if (answered && !gate_.Abandoned()) window_.PostMessage(startFailed_, 0, 0);
  running_ = false;
}

bool ReleaseDownload::SaveAndStart(const WinHttpClient& client) {
  std::string path = SavedPath();
  const uint8_t* bytes = client.GetResponseBytes();
  std::string_view body(reinterpret_cast<const char*>(bytes), bytes ? client.GetResponseLength() : 0);
  if (!ReleaseSignatureAccepts(publicKeyHex_, body, offer_.signature)) {
    // Nothing unverified may stay behind where it could be started by hand.
    ::unlink(path.c_str());
    return false;
  }
  // An empty answer saves nothing; the start below then finds no program.
  if (client.SaveResponseToFile(path)) ::chmod(path.c_str(), 0755);
  return platform::StartProgram(path, folder_);
}
