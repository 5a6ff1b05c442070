#include "installer/install_job.h"

#include "installer/installer_messages.h"

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

void InstallJob::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

const InstallResult& InstallJob::Result() {
  if (thread_.joinable()) thread_.join();
  return result_;
}

void InstallJob::Run() {
  result_ = Install(
      request_, places_,
      [this](int step) { window_.PostMessage(installer_messages::kMsgInstallProgress, step, installation::kSteps); }, &stop_);
  running_ = false;
  window_.PostMessage(installer_messages::kMsgInstallFinished, result_.Ok() ? 0 : 1, 0);
}
