// Setup's own payload table: each item is the file the build made, under the id it is written
// from, and every library the carried programs load is one whose package the check can name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "install/install_items.h"
#include "installer/runtime_check.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/payload.h"

namespace items = install_items;

namespace {

std::string Built(const std::string& name) {
  return platform::ReadWholeFile(VYMERA_BIN "/" + name).value_or("<missing>");
}

// The client and the removal program are carried once the build makes them.
bool CarriedOnceBuilt(const InstallItem& item) { return item.id == items::kClient.id || item.id == items::kRemoval.id; }

TEST(SetupPayload, EachItemIsWhatTheBuildMade) {
  for (const InstallItem& item : {items::kClient, items::kRemoval, items::kUpdater, items::kSkinArchive,
                                  items::kToolkit, items::kHidSupport, items::kKit}) {
    auto bytes = platform::FindPayload(item.type, item.id);
    if (!bytes && CarriedOnceBuilt(item)) continue;
    ASSERT_TRUE(bytes) << item.fileName;
    EXPECT_TRUE(*bytes == Built(item.fileName)) << item.fileName;
  }
  EXPECT_EQ(platform::FindPayload("XML", 125).value_or(""),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<UserList>\r\n</UserList>\r\n");
  std::string settings =
      "[系统设置]\r\nAutoStart=0\r\nShowCloseTip=1\r\nUseProxy=0\r\nAutoUpdate=1\r\n"
      "ShowUpdateWindow=1\r\nTixingTime=15\r\n地址=\r\n端口=\r\n用户名=\r\n密码=\r\n\r\n";
  EXPECT_EQ(platform::FindPayload("INI", 113).value_or(""), platform::ToCodePage(settings));
  EXPECT_EQ(platform::FindPayload("JPG", 126).value_or("").substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(platform::LinkedPayload().size(),
            10u - !platform::FindPayload("EXE", 120) - !platform::FindPayload("EXE", 121));
}

class RecordingProbe : public LibraryProbe {
 public:
  bool Present(const std::string& soname) const override {
    asked.insert(soname);
    return loader.Present(soname);
  }
  mutable std::set<std::string> asked;
  LoaderLibraryProbe loader;
};

TEST(SetupPayload, EveryNeededLibraryHasItsPackageAndIsPresentOnTheBuildMachine) {
  RecordingProbe probe;
  RuntimeCheck check = CheckRuntime(probe);
  EXPECT_TRUE(check.Passed()) << RuntimeCheckText(check);
  EXPECT_TRUE(probe.asked.count("libcurl.so.4") || !platform::FindPayload("EXE", 120));
  EXPECT_TRUE(probe.asked.count("libgtk-3.so.0"));
  for (const std::string& library : probe.asked) EXPECT_NE(DebianPackageOf(library), "") << library;
  // What Setup carries itself is not asked for.
  EXPECT_FALSE(probe.asked.count(VYMERA_TOOLKIT_FILE));
  EXPECT_FALSE(probe.asked.count(VYMERA_KIT_FILE));
}

}  // namespace
