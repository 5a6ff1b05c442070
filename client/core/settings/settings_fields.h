#pragma once
// Every option of the settings file once: its key in "systemset.ini", the settings dialog's control
// that shows it, and the store's member that holds it. The store reads and writes the file by these
// rows in this order; the dialog shows and applies them by the same rows.

#include <array>
#include <string>
#include <string_view>

#include "client/core/settings/settings_store.h"

struct SettingsFlag {
  const char* key;
  std::string_view control;  // an option
  bool SettingsStore::*field;
  bool fallback;  // when the file has no such key
};

struct SettingsText {
  const char* key;
  std::string_view control;  // an edit
  std::string SettingsStore::*field;
};

// One reminder interval the dialog offers.
struct SettingsInterval {
  int minutes;
  std::string_view control;  // an option
};

inline constexpr std::array<SettingsFlag, 5> kSettingsFlags{{
    {"AutoStart", "自动启动", &SettingsStore::AutoStart, false},
    {"ShowCloseTip", "退出时弹出确认窗口", &SettingsStore::ShowCloseTip, false},
    {"UseProxy", "启用代理", &SettingsStore::UseProxy, false},
    {"AutoUpdate", "自动升级软件", &SettingsStore::AutoUpdate, false},
    {"ShowUpdateWindow", "弹出同步提示窗口", &SettingsStore::ShowUpdateWindow, true},
}};

inline constexpr const char* kSettingsIntervalKey = "TixingTime";
// The first is the default, and what a value outside the table stands for.
inline constexpr std::array<SettingsInterval, 3> kSettingsIntervals{{{15, "15分钟"}, {30, "30分钟"}, {60, "60分钟"}}};

inline constexpr std::array<SettingsText, 4> kSettingsTexts{{
    {"地址", "代理地址", &SettingsStore::proxyAddress},
    {"端口", "代理端口", &SettingsStore::proxyPort},
    {"用户名", "用户名", &SettingsStore::proxyUserName},
    {"密码", "密码", &SettingsStore::proxyPassword},
}};

// The row of the interval a TixingTime value stands for: its own, or the first for a value the
// table does not have.
inline const SettingsInterval& SettingsIntervalOf(int tixingTime) {
  for (const SettingsInterval& interval : kSettingsIntervals) {
    if (interval.minutes == tixingTime) return interval;
  }
  return kSettingsIntervals.front();
}
