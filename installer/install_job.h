#pragma once
// InstallJob: the installer's one worker thread. It runs the installation and reaches the setup
// window only by posted messages: install progress after each numbered step (wParam the step,
// lParam the number of steps), then install finished (wParam 0 when every step went through, 1
// when one failed or the job was stopped; Result tells which).

#include <atomic>
#include <string>
#include <thread>

#include "installer/installation.h"
#include "platform/message_target.h"

class InstallJob {
 public:
  // window must outlive the job's thread, which the destructor waits for.
  InstallJob(InstallRequest request, InstallPlaces places, platform::MessageTarget& window);
  ~InstallJob();
  InstallJob(const InstallJob&) = delete;
  InstallJob& operator=(const InstallJob&) = delete;

  // Starts the thread; a second call does nothing.
  void Start();
  // From Start until the last step is done.
  bool Running() const { return running_; }
  // The path of the client this job installs.
  const std::string& ClientPath() const { return clientPath_; }
  // The program folder this job installs into.
  const std::string& Folder() const { return request_.folder; }
  // Asks the thread to stop at its next step and waits for it; the files written so far stay, with
  // their record, and no temporary file is left. GUI thread.
  void Stop();
  // How the installation ended: waits for the thread, so call it once install finished arrived.
  const InstallResult& Result();

 private:
  void Run();

  InstallRequest request_;
  InstallPlaces places_;
  platform::MessageTarget& window_;
  std::string clientPath_;
  InstallResult result_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
