#pragma once
// The client's user-changeable options, kept in "systemset.ini" beside the program, and the entry
// that starts the client with the desktop session.

#include <string>

class SettingsStore {
 public:
  bool AutoStart = false;         // start the client with the desktop session
  bool ShowCloseTip = false;      // ask before quitting
  bool AutoUpdate = false;        // stored and shown only
  bool UseProxy = false;          // send web requests through the proxy below
  bool ShowUpdateWindow = true;   // show the sync progress window during a sync pass
  int TixingTime = 15;            // reminder refresh interval in minutes: 15, 30 or 60
  std::string proxyAddress;
  std::string proxyPort;          // as text
  std::string proxyUserName;
  std::string proxyPassword;      // stored in plain text

  static constexpr const char* kFileName = "systemset.ini";
  static constexpr const char* kSection = "系统设置";

  SettingsStore() = default;

  // Sets the file path and reads every field; what is missing (the whole file included) takes its
  // default.
  void Load(const std::string& path);

  // Writes all ten keys to the file of the last Load, creating it when missing. False when it could
  // not be written.
  bool Save() const;

  // Writes (on) or removes (off) the autostart entry that runs this program with "/Startup".
  // On: true when written. Off: true also when there was no entry.
  static bool SetStartWithDesktop(bool on);

  // Run at start: when AutoStart is on but the session has no entry (the installation that wrote it
  // went, as a per-user one does when the system's package replaces it), writes one for this
  // program. An entry that exists is left as it is. True when AutoStart is off or an entry stands.
  bool RestoreStartWithDesktop() const;

  const std::string& FilePath() const { return path_; }

 private:
  std::string path_;
};
