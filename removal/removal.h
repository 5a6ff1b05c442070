#pragma once
// Dismantor's work: exactly what Setup recorded in the install record beside the programs is
// removed (programs, skins, shortcuts, the system-wide device rule), with the client's autostart
// entry; everything else stays: the user's own data (user list, settings, pictures), files of
// others that share the folder, Dismantor itself and the program folder. Without a record nothing
// is removed.

#include <optional>
#include <string>

#include "install/install_record.h"
#include "install/shell_link_maker.h"

// Where the removal reaches.
struct RemovalPlaces {
  std::string programFolder;  // empty: no program files are removed
  ShortcutPlaces shortcuts;
  std::string autostartName;   // the client's autostart entry; empty: none to remove
  std::string windowRegistry;  // where a running client's window is asked for
  std::string systemRules;     // where a system-wide device rule may have been recorded

  // Dismantor's own folder and the user's desktop folders.
  static RemovalPlaces ForUser();
};

namespace removal {
inline constexpr const char* kCaption = "Vymera同步软件 卸载程序";
inline constexpr const char* kQuestion = "您确实要删除Vymera同步软件及其相关组件吗？";
inline constexpr const char* kClientRunning = "请关闭正在运行的程序！";
inline constexpr const char* kRemoved = "卸载成功！";
inline constexpr const char* kClientTitle = "Vymera同步软件";
inline constexpr const char* kAutostartName = "Vymera";
inline constexpr const char* kNoRecord =
    "这个文件夹中没有Vymera同步软件的安装记录（install.record），或记录无法识别，没有删除任何文件。";
}  // namespace removal

enum class RemovalOutcome { Removed, ClientRunning, NoRecord };

struct RemovalReport {
  RemovalOutcome outcome;
  std::string ruleLeft;  // the system-wide rule that stays for want of rights; empty when none
};

// Removes what the install record names. While the client runs (its window is up, or its file
// cannot be deleted) nothing is removed and ClientRunning comes back; without a usable record
// NoRecord. Every later failure leaves that item in place, and in the record, and the removal goes
// on; the record then names only what still stands.
RemovalReport RemoveInstallation(const RemovalPlaces& places);

// The install record beside the programs, when there is a usable one.
std::optional<InstallRecord> LoadInstallRecord(const RemovalPlaces& places);

// The closing message of a removal.
std::string RemovalMessage(const RemovalReport& report);

// The whole program: the question, the removal and the closing message, each in a message box
// without owner; without a record only the message that nothing was removed.
void RunDismantor(const RemovalPlaces& places);
