#pragma once
// Dismantor's work: the installed programs, skins, shortcuts and the autostart entry removed, the
// user's own data (user list, settings, pictures), Dismantor itself and the program folder kept.

#include <string>

#include "installer/shell_link_maker.h"

// Where the removal reaches.
struct RemovalPlaces {
  std::string programFolder;  // empty: no program files are removed
  ShortcutPlaces shortcuts;
  std::string autostartEntry;  // empty: none to remove
  std::string windowRegistry;  // where a running client's window is asked for

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
}  // namespace removal

enum class RemovalOutcome { Removed, ClientRunning };

// Removes the installation. While the client runs (its window is up, or its file cannot be
// deleted) nothing is removed and ClientRunning comes back. Every later failure leaves that item
// in place and the removal goes on.
RemovalOutcome RemoveInstallation(const RemovalPlaces& places);

// The whole program: the question, the removal and the closing message, each in a message box
// without owner.
void RunDismantor(const RemovalPlaces& places);
