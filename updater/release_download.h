#pragma once
// ReleaseDownload: the updater's one worker thread. It fetches the offered release into a fresh
// file as it arrives and, when the answer is whole and the file signed (release_check.h), renames
// it to "updatetemp" ("updatetemp.exe" on Windows, which starts programs by their extension) in
// the updater's folder, executable, and starts it; the updater then ends.
// Any failure starts nothing and is reported to the window; only a release that was saved whole
// and then failed to start stays on disk.
// Progress reaches the window only as posted messages, through a gate the window can hold while
// it asks whether to stop.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "updater/download_gate.h"
#include "updater/update_query.h"

class IncomingRelease;
class WinHttpClient;

class ReleaseDownload {
 public:
  static constexpr const char* kSavedFileName = VYMERA_SAVED_RELEASE_FILE;

  // endProcess ends the updater once the release runs (from the download thread); startFailed is
  // posted to the window, with no parameters, when the download failed, was refused (see
  // JudgeRelease, with publicKeyHex) or could not be saved or started.
  ReleaseDownload(ReleaseOffer offer, std::string folder, std::string publicKeyHex, platform::MessageTarget& window,
                  unsigned startFailed, std::function<void()> endProcess);
  // Abandons a download still running and waits for its thread.
  ~ReleaseDownload();
  ReleaseDownload(const ReleaseDownload&) = delete;
  ReleaseDownload& operator=(const ReleaseDownload&) = delete;

  void Start();
  // The downloading flag: set from Start until the thread has given up or failed to start the release.
  bool Running() const { return running_; }
  DownloadGate& Gate() { return gate_; }
  std::string SavedPath() const;

 private:
  void Run();
  bool PlaceAndStart(const WinHttpClient& client, IncomingRelease& incoming);

  ReleaseOffer offer_;
  std::string folder_;
  std::string publicKeyHex_;
  platform::MessageTarget& window_;
  unsigned startFailed_;
  std::function<void()> endProcess_;
  DownloadGate gate_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};
