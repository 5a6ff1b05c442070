#include "client/core/settings/settings_store.h"

#include "platform/autostart.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/profile_file.h"

namespace {

// Texts are read into a buffer of this many characters, terminator included.
constexpr size_t kTextBufferCharacters = 256;

constexpr const char* kAutostartName = "Vymera";
constexpr const char* kStartupArgument = "/Startup";

std::string ReadText(const platform::ProfileFile& file, const char* key) {
  std::string value = file.GetString(SettingsStore::kSection, key, "");
  return std::string(platform::TruncateCodePoints(value, kTextBufferCharacters - 1));
}

}  // namespace

void SettingsStore::Load(const std::string& path) {
  path_ = path;
  platform::ProfileFile file = platform::ProfileFile::Load(path);
  auto flag = [&](const char* key, bool fallback) { return file.GetInt(kSection, key, fallback ? 1 : 0) != 0; };
  AutoStart = flag("AutoStart", false);
  ShowCloseTip = flag("ShowCloseTip", false);
  AutoUpdate = flag("AutoUpdate", false);
  UseProxy = flag("UseProxy", false);
  ShowUpdateWindow = flag("ShowUpdateWindow", true);
  TixingTime = file.GetInt(kSection, "TixingTime", 15);
  proxyAddress = ReadText(file, "地址");
  proxyPort = ReadText(file, "端口");
  proxyUserName = ReadText(file, "用户名");
  proxyPassword = ReadText(file, "密码");
}

bool SettingsStore::Save() const {
  if (path_.empty()) return false;
  // Reading the file first keeps every line this store does not own.
  platform::ProfileFile file = platform::ProfileFile::Load(path_);
  auto flag = [&](const char* key, bool value) { file.Set(kSection, key, value ? "1" : "0"); };
  flag("AutoStart", AutoStart);
  flag("ShowCloseTip", ShowCloseTip);
  flag("UseProxy", UseProxy);
  flag("AutoUpdate", AutoUpdate);
  flag("ShowUpdateWindow", ShowUpdateWindow);
  file.Set(kSection, "TixingTime", std::to_string(TixingTime));
  file.Set(kSection, "地址", proxyAddress);
  file.Set(kSection, "端口", proxyPort);
  file.Set(kSection, "用户名", proxyUserName);
  file.Set(kSection, "密码", proxyPassword);
  return file.Save();
}

bool SettingsStore::SetStartWithDesktop(bool on) {
  if (!on) return platform::RemoveAutostartEntry(kAutostartName);
  std::string program = platform::ExecutablePath();
  return !program.empty() && platform::WriteAutostartEntry(kAutostartName, program, kStartupArgument);
}

bool SettingsStore::RestoreStartWithDesktop() const {
  if (!AutoStart) return true;
  std::string entry = platform::AutostartEntryPath(kAutostartName);
  if (entry.empty()) return false;
  return platform::PathExists(entry) || SetStartWithDesktop(true);
}
