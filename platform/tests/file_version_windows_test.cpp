#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_version.h"
#include "platform/wide_text.h"

using namespace platform;

namespace {

std::string SystemFile(const char* name) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return NarrowPath(std::wstring_view(folder, length)) + "/" + name;
}

TEST(FileVersionWindows, AProgramOfTheProjectCarriesTheProjectsVersion) {
  std::optional<FileVersion> version = ReadFileVersion(VYMERA_PROBE_PROGRAM);
  ASSERT_TRUE(version);
  char text[64];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (*version)[0], (*version)[1], (*version)[2], (*version)[3]);
  EXPECT_EQ(std::string(text), VYMERA_PROJECT_VERSION);
}

TEST(FileVersionWindows, TheSystemsOwnLibrariesAreReadToo) {
  std::optional<FileVersion> version = ReadFileVersion(SystemFile("kernel32.dll"));
  ASSERT_TRUE(version);
  EXPECT_GT((*version)[0], 0u);
}

}  // namespace
