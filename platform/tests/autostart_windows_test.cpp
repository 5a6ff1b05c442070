#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "platform/autostart.h"
#include "platform/wide_text.h"

using namespace platform;

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value as the session reads it, straight from the registry.
std::optional<std::string> RunValue(const wchar_t* name, DWORD* type = nullptr) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  DWORD kind = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_ANY | RRF_NOEXPAND, &kind, data, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type) *type = kind;
  return Narrow(std::wstring_view(data, size / sizeof(wchar_t) - 1));
}

class AutostartWindows : public ::testing::Test {
 protected:
  void TearDown() override { RemoveAutostartEntry("Vymera"); }
};

TEST_F(AutostartWindows, TheUsersRunValueIsWrittenReadBackAndRemovedOnce) {
  EXPECT_EQ(AutostartEntryPath("Vymera"), "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Vymera");
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));  // absent: still success
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "C:/Vymera/Vymera.exe", "/Startup"));
  DWORD type = 0;
  EXPECT_EQ(RunValue(L"Vymera", &type), "C:\\Vymera\\Vymera.exe /Startup");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // Written again: replaced, not added beside.
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "D:/同步/Vymera.exe", "/Startup"));
  EXPECT_EQ(RunValue(L"Vymera"), "D:\\同步\\Vymera.exe /Startup");
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));
  EXPECT_FALSE(RunValue(L"Vymera"));
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));
}

// Unquoted, Windows would try "C:\Program.exe" first: a program anyone put there would start
// with the session in the client's place.
TEST_F(AutostartWindows, APathWithBlanksIsQuoted) {
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "C:/Program Files/Vymera/Vymera.exe", "/Startup"));
  EXPECT_EQ(RunValue(L"Vymera"), "\"C:\\Program Files\\Vymera\\Vymera.exe\" /Startup");
}

// What the removal program asks before it removes the value: whether it starts its client.
TEST_F(AutostartWindows, AnEntryStartsTheProgramItNamesWhateverTheCaseOfItsPath) {
  EXPECT_FALSE(HasAutostartEntry("Vymera"));
  EXPECT_FALSE(AutostartEntryStarts("Vymera", "C:/Program Files/Vymera/Vymera.exe"));
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "C:/Program Files/Vymera/Vymera.exe", "/Startup"));
  EXPECT_TRUE(HasAutostartEntry("Vymera"));
  EXPECT_TRUE(AutostartEntryStarts("Vymera", "C:/Program Files/Vymera/Vymera.exe"));
  EXPECT_TRUE(AutostartEntryStarts("Vymera", "c:\\program files\\vymera\\VYMERA.EXE"));
  EXPECT_FALSE(AutostartEntryStarts("Vymera", "C:/Program Files/Vymera/Vymera"));
  EXPECT_FALSE(AutostartEntryStarts("Vymera", "C:/Program Files/Other/Vymera.exe"));
  EXPECT_FALSE(AutostartEntryStarts("Vymera", ""));
  EXPECT_FALSE(AutostartEntryStarts("", "C:/Program Files/Vymera/Vymera.exe"));
}

TEST_F(AutostartWindows, OtherValuesOfTheKeyStay) {
  ASSERT_TRUE(WriteAutostartEntry("VymeraNeighbour", "C:/x.exe", "/y"));
  ASSERT_TRUE(WriteAutostartEntry("Vymera", "C:/Vymera/Vymera.exe", "/Startup"));
  EXPECT_TRUE(RemoveAutostartEntry("Vymera"));
  EXPECT_EQ(RunValue(L"VymeraNeighbour"), "C:\\x.exe /y");
  EXPECT_TRUE(RemoveAutostartEntry("VymeraNeighbour"));
  EXPECT_FALSE(WriteAutostartEntry("", "C:/x.exe", "/y"));
  EXPECT_FALSE(WriteAutostartEntry("Vymera", "", "/Startup"));
}

}  // namespace
