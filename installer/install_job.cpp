#include "installer/install_job.h"

#include "platform/message_numbers.h"

InstallJob::InstallJob(InstallRequest request, InstallPlaces places, platform::MessageTarget& window)
    : request_(std::move(request)),
      places_(std::move(places)),
      window_(window),
      clientPath_(ClientPathIn(request_.folder)) {}

InstallJob::~InstallJob() {
  if (thread_.joinable()) thread_.join();
}

void InstallJob::Start() {
  if (thread_.joinable()) return;
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

void InstallJob::Run() {
  Install(
      request_, places_,
      [this](int step) { window_.PostMessage(platform::kMsgInstallProgress, step, installation::kSteps); },
      [this] { window_.PostMessage(platform::kMsgInstallFinished, 0, 0); });
  running_ = false;
}
