// The session's entries are values of the user's Run key,
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run: a per-user installation
// needs no administrator to start with the session, and the choice is the user's own, as the
// settings dialog offers it. A value's data is the command line; a program path with blanks is
// quoted, since Windows would otherwise try its first word as a program ("C:\Program.exe").
#include <windows.h>

#include <optional>

#include "platform/autostart.h"
#include "platform/command_line.h"
#include "platform/text.h"
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

// The program as a command line starts it. The shell reads the value, so the path is in the
// system's own form, with "\" between its parts.
std::string ProgramArgument(std::string_view program) {
  std::string native(program);
  for (char& c : native) c = c == '/' ? '\\' : c;
  return CommandLineArgument(native);
}

// The value's text; nothing when it is missing or not text.
std::optional<std::string> RunValue(std::string_view name) {
  constexpr DWORD kMaxValueBytes = 64 << 10;
  std::wstring value = Widen(name);
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size > kMaxValueBytes) {
    return std::nullopt;
  }
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, value.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(wcsnlen(data.c_str(), data.size()));
  return Narrow(data);
}

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
  std::wstring command = Widen(ProgramArgument(program) + " " + CommandLineArgument(argument));
  auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool HasAutostartEntry(std::string_view name) { return !name.empty() && RunValue(name).has_value(); }

bool AutostartEntryStarts(std::string_view name, std::string_view program) {
  std::optional<std::string> value = name.empty() || program.empty() ? std::nullopt : RunValue(name);
  // Paths compare without case, as the file system does.
  std::string start = ProgramArgument(program) + " ";
  return value && value->size() >= start.size() && EqualsIgnoringAsciiCase(value->substr(0, start.size()), start);
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
