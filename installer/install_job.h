#pragma once
// InstallJob: the installer's one worker thread. It runs the installation and reaches the setup
// window only by posted messages: install progress after each numbered step (wParam the step,
// lParam the number of steps), then install finished.

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

 private:
  void Run();

  InstallRequest request_;
  InstallPlaces places_;
  platform::MessageTarget& window_;
  std::string clientPath_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};
