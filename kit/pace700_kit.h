#pragma once
// CPace700Kit: the wrist tracker (K700) kit. The client reaches the tracker only through these
// methods, all from the main-window thread: detection and clock every tick, the stored days and
// their erasure in the sync pass, and the wearer's parameters. Which tracker link stands behind
// it is chosen when the kit is built.

#include <cstdint>
#include <memory>
#include <string>

class TrackerLink;

class CPace700Kit {
 public:
  CPace700Kit();
  ~CPace700Kit();
  CPace700Kit(const CPace700Kit&) = delete;
  CPace700Kit& operator=(const CPace700Kit&) = delete;

  // The access key the tracker answers to; until it is given, the tracker gives nothing.
  void SetSercetKey(int key);
  // True while a tracker is attached.
  bool StepIsConnected();
  // The tracker's serial; negative when there is none (or the key is wrong). refresh is not used.
  int64_t GetDeviceID(bool refresh);
  // The tracker clock: year since 2000, month 1-12, day, hour, minute, second (which may read 60).
  // False when it does not answer.
  bool GetStepTime(int& year, int& month, int& day, int& hour, int& minute, int& second);
  // Sets the tracker clock to the PC's local time; false when it does not answer.
  bool SetStepTime();
  // 30 characters, one per stored day (index 0-29), '1' for a day with data; all '0' without a
  // tracker. The text belongs to the kit and stays valid until the next call.
  char* CkeckExsitDataDay();
  // Prepares the day reads; buffer is the caller's scratch space. False without a tracker.
  bool BeginCalculateSleepData(char* buffer);
  // Writes the date text of day index into dateBuffer (at least 30 bytes, NUL-terminated) and returns
  // the day's data text (under 10240 bytes, owned by the kit until the next call); null when the day
  // holds nothing or the tracker does not answer.
  char* GetSingleData(int dayIndex, char* dateBuffer);
  // Deletes the stored days (what = 1); true when done.
  bool EraseStepData(int what);
  // The wearer: sex, age, height cm, weight kg, step length value, daily goal, goal unit code.
  bool SetParameters(int sex, int age, int height, int weight, int stepValue, int dailyGoal, int goalUnit);

 private:
  bool Ready();

  std::unique_ptr<TrackerLink> link_;
  int key_ = 0;
  std::string dayMap_;
  std::string dayText_;
};
