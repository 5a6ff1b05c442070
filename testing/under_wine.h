#pragma once
// Whether the tests run under Wine, whose system services lack a few things of Windows itself: a
// test of such a thing skips there and says which.

#ifdef _WIN32
#include <windows.h>
#endif

namespace testing_support {

inline bool UnderWine() {
#ifdef _WIN32
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace testing_support
