// Programs started with CreateProcessW in a process group of their own and without the starter's
// console, so that Ctrl+C in the starter's console or the end of that console does not end them.
// The path is named as the program to run (no search along PATH, no guessing at blanks) and is the
// command line's only argument, quoted the way the started program splits it.
#include <windows.h>

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/wide_text.h"

namespace platform {

bool StartProgram(const std::string& path, const std::string& folder) {
  if (path.empty()) return false;
  std::wstring program = Widen(path);
  DWORD attributes = GetFileAttributesW(program.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring commandLine = Widen(CommandLineArgument(path));
  std::wstring current = Widen(folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  DWORD flags = CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS | CREATE_UNICODE_ENVIRONMENT;
  // Not a program (text, a library) fails here: CreateProcessW checks the file's format.
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      folder.empty() ? nullptr : current.c_str(), &startup, &started)) {
    return false;
  }
  // Not waited for: the handles are let go, and the program runs on by itself.
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace platform
