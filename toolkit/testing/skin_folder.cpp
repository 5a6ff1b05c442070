#include "toolkit/testing/skin_folder.h"

#include <filesystem>

#include "platform/file_io.h"

namespace toolkit_testing {

void SkinFolderTest::SetUp() {
  HeadlessTest::SetUp();
  std::filesystem::create_directories(folder.File("res"));
  std::filesystem::create_directories(folder.File("user"));
  CPaintManagerUI::SetResourceZip("");
  CPaintManagerUI::SetResourcePath(folder.File("res"));
}

void SkinFolderTest::TearDown() {
  CPaintManagerUI::SetResourceZip("");
  CPaintManagerUI::SetResourcePath("");
  HeadlessTest::TearDown();
}

void SkinFolderTest::WriteSkin(const std::string& name, const std::string& text) {
  ASSERT_TRUE(platform::WriteFileAtomically(Res(name), text));
}

void SkinFolderTest::Solid(const std::string& name, uint32_t argb, int w, int h) {
  ASSERT_TRUE(WritePng(Res(name), w, h, argb));
}

std::unique_ptr<SkinWindow> SkinFolderTest::Open(const std::string& skin, int w, int h,
                                                 IDialogBuilderCallback* callback) {
  auto window = std::make_unique<SkinWindow>(skin, callback);
  EXPECT_TRUE(window->Create(nullptr, "skin", WS_POPUP | WS_VISIBLE, 0, 0, 0, w, h));
  return window;
}

}  // namespace toolkit_testing
