#pragma once
// The sync engine's ports to the windows, recorded: what a pass showed, asked of the main window, and
// how it paced itself. The sync tests use them one by one; the window tests' rig takes all three in
// one object.

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/core/sync/sync_ports.h"

namespace testing_support {

class RecordingNotifier : public SyncNotifier {
 public:
  bool OpenProgressDialog(int total) override {
    opened.push_back(total);
    return true;
  }
  void PostToProgressDialog(unsigned message) override { posted.push_back(message); }
  void ShowAlert(std::string_view key) override { alerts.emplace_back(key); }
  void ShowMessageBox(std::string_view text, std::string_view caption) override {
    boxes.emplace_back(std::string(text), std::string(caption));
  }
  int Count(unsigned message) const { return static_cast<int>(std::count(posted.begin(), posted.end(), message)); }

  std::vector<int> opened;
  std::vector<unsigned> posted;
  std::vector<std::string> alerts;
  std::vector<std::pair<std::string, std::string>> boxes;
};

class FakeFrame : public FrameState {
 public:
  bool MainWindowShownNormal() const override { return shownNormal; }
  void RefreshHardwarePanel() override { ++refreshes; }
  bool shownNormal = true;
  int refreshes = 0;
};

// Records waits instead of sleeping; pumping runs whatever a test put there.
class RecordingPacer : public PassPacer {
 public:
  void Wait(int ms) override { waits.push_back(ms); }
  void PumpMessages() override {
    ++pumps;
    if (onPump) onPump();
  }
  int Waited(int ms) const { return static_cast<int>(std::count(waits.begin(), waits.end(), ms)); }
  std::vector<int> waits;
  int pumps = 0;
  std::function<void()> onPump;
};

}  // namespace testing_support
