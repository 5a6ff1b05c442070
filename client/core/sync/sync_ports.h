#pragma once
// What the sync engine needs from around it, each as a small interface: the uploads to the web
// service, the pacing of a pass (waits and message pumping), what the user is shown, and the state
// of the main window. The frame and the windows implement them; tests record what was asked.

#include <memory>
#include <string_view>

#include "client/core/devices/pedometer_day.h"
#include "client/core/users/user_record.h"
#include "common/xml/xml_document.h"
#include "client/core/client_messages.h"

// The three upload requests of a pass; null when no answer came.
class SyncUploads {
 public:
  virtual ~SyncUploads() = default;
  virtual std::unique_ptr<XmlDocument> UploadWeight(const UserRecord& user, std::string_view date,
                                                    std::string_view scaleCode, float weight) = 0;
  virtual std::unique_ptr<XmlDocument> UploadPedometerDay(const UserRecord& user, const PedometerDay& day) = 0;
  virtual std::unique_ptr<XmlDocument> UploadPace700Day(const UserRecord& user, std::string_view fileText,
                                                        std::string_view dateText, std::string_view deviceCode) = 0;
};

// Waits between items and the message pumping that keeps windows and timers live during a pass.
class PassPacer {
 public:
  virtual ~PassPacer() = default;
  virtual void Wait(int milliseconds) = 0;
  virtual void PumpMessages() = 0;
};

// What the user sees of a pass.
class SyncNotifier {
 public:
  static constexpr unsigned kItemUploaded = client_messages::kMsgItemUploaded;
  static constexpr unsigned kPassFinished = client_messages::kMsgPassFinished;
  static constexpr unsigned kPassFailed = client_messages::kMsgPassFailed;

  virtual ~SyncNotifier() = default;
  // Creates, centres and shows the progress dialog "UploadProcess" for total items; false when it
  // could not be created.
  virtual bool OpenProgressDialog(int total) = 0;
  // Posts one of the three messages above to the open progress dialog.
  virtual void PostToProgressDialog(unsigned message) = 0;
  // The tray alert ("uploadsuccess", "uploadfail").
  virtual void ShowAlert(std::string_view key) = 0;
  // A plain message box over the main window.
  virtual void ShowMessageBox(std::string_view text, std::string_view caption) = 0;
};

// Where a pass keeps the users it changed, so that a reading handed to a user is never in memory
// alone.
class UserKeeping {
 public:
  virtual ~UserKeeping() = default;
  // Stores every user as it stands; false when the user file could not be written.
  virtual bool StoreUsers() = 0;
};

class FrameState {
 public:
  virtual ~FrameState() = default;
  // True when the main window's placement is the normal shown state (not hidden, not minimised).
  virtual bool MainWindowShownNormal() const = 0;
  virtual void RefreshHardwarePanel() = 0;
};
