#include "client/core/settings/settings_store.h"

#include "client/core/settings/settings_fields.h"

#include "platform/autostart.h"
#include "platform/codepage.h"
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
  for (const SettingsFlag& flag : kSettingsFlags) {
    this->*flag.field = file.GetInt(kSection, flag.key, flag.fallback ? 1 : 0) != 0;
  }
  TixingTime = file.GetInt(kSection, kSettingsIntervalKey, kSettingsIntervals.front().minutes);
  for (const SettingsText& text : kSettingsTexts) this->*text.field = ReadText(file, text.key);
}

bool SettingsStore::Save() const {
  if (path_.empty()) return false;
  // Reading the file first keeps every line this store does not own.
  platform::ProfileFile file = platform::ProfileFile::Load(path_);
  for (const SettingsFlag& flag : kSettingsFlags) file.Set(kSection, flag.key, this->*flag.field ? "1" : "0");
  file.Set(kSection, kSettingsIntervalKey, std::to_string(TixingTime));
  for (const SettingsText& text : kSettingsTexts) file.Set(kSection, text.key, this->*text.field);
  return file.Save();
}

bool SettingsStore::SetStartWithDesktop(bool on) {
  if (!on) return platform::RemoveAutostartEntry(kAutostartName);
  std::string program = platform::ExecutablePath();
  return !program.empty() && platform::WriteAutostartEntry(kAutostartName, program, kStartupArgument);
}

bool SettingsStore::RestoreStartWithDesktop() const {
  if (!AutoStart) return true;
  return platform::HasAutostartEntry(kAutostartName) || SetStartWithDesktop(true);
}
