#pragma once
// UserStore: the local accounts in "userinfoset.xml" beside the program, and the mapping of the
// service's user-information answer onto a record. Values are kept in the file in the 8-bit code
// page. The file holds passwords: a file it creates is readable by its owner only, and every store
// replaces the file whole, so a crash in the middle never loses the other accounts. A file that
// exists but is damaged, or that could not be written back, is never written into: it is kept beside
// the list as "userinfoset.xml.damaged-N" (N the first number not taken), and a fresh list with the
// complete accounts that stood before the damage takes its place.

#include <memory>
#include <string>
#include <vector>

#include "client/core/users/user_record.h"

class XmlElement;

using UserList = std::vector<std::unique_ptr<UserRecord>>;

class UserStore {
 public:
  static constexpr const char* kFileName = "userinfoset.xml";
  static constexpr const char* kDefaultPicture = "DefaultUser.jpg";
  static constexpr const char* kUserFolder = "user";

  // The window has a place for this many accounts.
  static constexpr size_t kMaxUsers = 4;

  struct Loaded {
    enum Reason { Sound, Damaged, TooManyUsers };
    UserList users;
    Reason reason = Sound;
    // Where the original file was kept when it was damaged or held more than kMaxUsers accounts
    // (the list then holds the readable ones, the first kMaxUsers at most); empty otherwise, and
    // when keeping it failed.
    std::string keptAside;
  };
  // The accounts of the file, in file order; none for a missing file.
  static Loaded Load(const std::string& path);
  // The users of Load alone.
  static UserList LoadAll(const std::string& path);
  // Lays down an empty list, readable by its owner only, when there is no file at path (the
  // installer lays one down; a client run from its build folder has none). True when a list file
  // is there afterwards.
  static bool CreateIfMissing(const std::string& path);

  // Removes the record's uid from the file and, unless drop is set, appends the record anew (so it
  // moves to the end). A damaged file or one that is not a user list is kept beside a fresh list
  // first. False, with the file untouched, when it is missing or cannot be written.
  static bool StoreOne(const UserRecord& record, const std::string& path, bool drop);

  // At quit: every user in list order, dropping those flagged autoclear. False when any store failed.
  static bool StoreAllAtQuit(const UserList& users, const std::string& path);

  // Fills record from the service's user-information answer and marks it logged in.
  static void FillFromUserInfo(UserRecord& record, const XmlElement& answer);

  // The daily goal, pedometer goal value and goal unit code from a task's value and unit.
  static void ApplyTask(UserRecord& record, double value, int unit);

  // The picture file of a record in programFolder's user folder; empty while the picture is still a
  // web address or there is none.
  static std::string PictureFile(const std::string& programFolder, const UserRecord& record);
};
