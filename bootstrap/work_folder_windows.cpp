#include <windows.h>

#include <vector>

#include "bootstrap/work_folder.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

namespace {

// A folder the system names, with "/" separators and without a trailing one; empty when it has none.
template <class Ask>
std::string SystemFolder(Ask ask) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD n = ask(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = ask(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  if (n == 0 || n >= buffer.size()) return {};
  std::string folder = platform::NarrowPath(std::wstring_view(buffer.data(), n));
  while (folder.size() > platform::RootLength(folder) && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string TemporaryFolder() {
  std::string folder = SystemFolder([](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); });
  if (!platform::IsAbsolutePath(folder) || folder.size() > kMaxTempFolderBytes) {
    // The system's own folder, which every user may write into.
    folder = SystemFolder([](DWORD size, wchar_t* buffer) { return GetWindowsDirectoryW(buffer, size); });
    if (!folder.empty()) folder = platform::JoinPath(folder, "Temp");
  }
  return folder;
}

std::string StartFolder() {
  std::string folder = SystemFolder([](DWORD size, wchar_t* buffer) { return GetCurrentDirectoryW(size, buffer); });
  if (!folder.empty()) return folder;
  std::string windows = SystemFolder([](DWORD size, wchar_t* buffer) { return GetWindowsDirectoryW(buffer, size); });
  return windows.substr(0, platform::RootLength(windows));
}

WorkFolderResult MakePrivateFolder(const std::string& path, bool& taken) {
  // The folder takes the access of the user's own temporary folder; CreateDirectoryW never takes
  // over what has the name already, a link or junction included.
  if (CreateDirectoryW(platform::Widen(path).c_str(), nullptr)) return WorkFolderResult::Made;
  taken = GetLastError() == ERROR_ALREADY_EXISTS;
  return WorkFolderResult::NotMade;
}
