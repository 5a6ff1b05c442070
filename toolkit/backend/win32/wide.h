#pragma once
// UTF-8 to UTF-16 and back at the system call, for the backend's Win32 files.

#include <string>
#include <string_view>

namespace toolkit::win32 {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace toolkit::win32
