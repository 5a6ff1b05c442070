// A program for the process tests: writes "<current folder>\n<argument count>\n" to "probe.txt" in
// the folder it runs in, through a temporary name so a reader never sees half of it.
#include <windows.h>

#include <string>

int main(int argc, char**) {
  wchar_t folder[MAX_PATH];
  DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  std::wstring text = std::wstring(folder, length) + L"\n" + std::to_wstring(argc - 1) + L"\n";
  HANDLE file = CreateFileW(L"probe.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return MoveFileExW(L"probe.tmp", L"probe.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
