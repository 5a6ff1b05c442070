#pragma once
// One local account of the web service: its identity and credentials, profile values, the three
// device slots, reminder switches and counts, and the scale readings not yet uploaded. Texts are
// UTF-8 inside the program; the user file and the web requests convert them to the code page.

#include <array>
#include <string>
#include <vector>

// Device kinds, also the index of a user's device slot.
enum class DeviceKind { Pedometer = 0, Scale = 1, Pace700 = 2 };

// One scale reading.
struct WeightRecord {
  float weight = 0.0f;    // kg, one decimal
  std::string time;       // date, "%d-%02d-%02d"
  bool uploaded = false;  // set by the sync pass once the service took it
  bool reserved = false;  // second flag of a reading; never set
  std::string exacttime;  // date and time, "%d-%02d-%02d-%02d-%02d-%02d"
};

// A device bound to a user.
struct DeviceSlot {
  std::string serial;      // serial number (the device code sent to the service)
  std::string updatetime;  // last update time
  bool connected = false;  // set by device detection; false after load
  bool bound = false;
  bool syncState = false;  // run-time state of the sync pass; false after load
  bool readBefore = false;  // run-time: a pass read it in this attachment, so reading it again is a retry
};

// Reminder counters from the service; not stored.
struct ReminderCounts {
  int all = 0;
  int fri = 0;
  int ivi = 0;
  int msg = 0;
  int reshare = 0;
  int notice = 0;
};

struct UserRecord {
  std::string logincode;  // issued by the service; appended to member-site links only
  std::string account;    // login name typed by the user
  std::string uname;      // display name
  std::string picture;    // picture file name in the user folder, or its web address until downloaded
  std::string uid;        // id at the service; the record's key in the user file
  std::string password;   // stored in plain text, as the service login needs it
  std::string level;      // user level, a number as text

  // From the service; not stored.
  int sex = 0;
  int stepvalue = 0;
  int height = 0;
  int weight = 0;
  int age = 0;
  int dailyGoal = 0;      // tracker kit parameter
  int pedometerGoal = 0;  // goal value of the pedometer profile
  int goalUnit = 0;       // goal unit code

  float standardweight = 50.0f;  // reference weight a reading must match
  float weightscope = 1.0f;      // allowed distance from the reference weight

  std::array<DeviceSlot, 3> devices;  // step device, scale, pace700 device (DeviceKind order)

  bool autologin = false;
  bool autoclear = false;  // drop the account from the user file when the client quits

  // Reminder switches: friends, invitations, private messages, replies, notices.
  bool haiyoutixing = true;
  bool yaoqingtixing = true;
  bool sixingtixing = true;
  bool huifutixing = true;
  bool tongzhitixing = true;
  int tixingupdatetime = 0;  // read from the file and written back unchanged

  bool loggedIn = false;  // not stored
  ReminderCounts counts;  // not stored
  int uploadedThisPass = 0;  // readings uploaded in the current sync pass; not stored
  bool jizhumima = false;    // remember the password

  std::vector<WeightRecord> datalist;  // scale readings given to this user

  DeviceSlot& Slot(DeviceKind kind) { return devices[static_cast<size_t>(kind)]; }
  const DeviceSlot& Slot(DeviceKind kind) const { return devices[static_cast<size_t>(kind)]; }
};
