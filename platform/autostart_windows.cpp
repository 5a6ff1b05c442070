// The session's entries are values of the user's Run key,
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run: a per-user installation
// needs no administrator to start with the session, and the choice is the user's own, as the
// settings dialog offers it. A value's data is the command line; a program path with blanks is
// quoted, since Windows would otherwise try its first word as a program ("C:\Program.exe").
#include <windows.h>

#include "platform/autostart.h"
#include "platform/command_line.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunKeyText[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";

// An open registry key, closed once.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string AutostartEntryPath(std::string_view name) {
  if (name.empty()) return {};
  return kRunKeyText + std::string(name);
}

bool WriteAutostartEntry(std::string_view name, std::string_view program, std::string_view argument) {
  if (name.empty() || program.empty()) return false;
  RegistryKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  // The shell reads the value, so the path is in the system's own form, with "\" between its parts.
  std::string native(program);
  for (char& c : native) c = c == '/' ? '\\' : c;
  std::wstring command = Widen(CommandLineArgument(native) + " " + CommandLineArgument(argument));
  auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool RemoveAutostartEntry(std::string_view name) {
  if (name.empty()) return false;
  RegistryKey key;
  LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.Out());
  if (opened == ERROR_FILE_NOT_FOUND) return true;  // no key: no entry
  if (opened != ERROR_SUCCESS) return false;
  LONG deleted = RegDeleteValueW(key.get(), Widen(name).c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace platform
