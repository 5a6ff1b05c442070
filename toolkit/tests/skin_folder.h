#pragma once
// A fresh skin folder per test ("res", with "user" beside it), made the resource path of the
// process for the test's length.

#include <cairo.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_io.h"
#include "platform/tests/temp_folder.h"
#include "toolkit/tests/headless_fixture.h"
#include "toolkit/tests/skin_window.h"
#include "toolkit/tests/test_images.h"

namespace toolkit_testing {

// A rendered surface that frees itself.
struct Shot {
  explicit Shot(cairo_surface_t* s) : surface(s) {}
  ~Shot() {
    if (surface) cairo_surface_destroy(surface);
  }
  Shot(const Shot&) = delete;
  Shot& operator=(const Shot&) = delete;
  uint32_t At(int x, int y) const { return PixelAt(surface, x, y); }
  cairo_surface_t* surface;
};

class SkinFolderTest : public HeadlessTest {
 protected:
  testing_support::TempFolder folder;

  void SetUp() override {
    HeadlessTest::SetUp();
    std::filesystem::create_directories(folder.File("res"));
    std::filesystem::create_directories(folder.File("user"));
    CPaintManagerUI::SetResourceZip("");
    CPaintManagerUI::SetResourcePath(folder.File("res"));
  }
  void TearDown() override {
    CPaintManagerUI::SetResourceZip("");
    CPaintManagerUI::SetResourcePath("");
    HeadlessTest::TearDown();
  }

  std::string Res(const std::string& name) { return folder.File("res/" + name); }
  void WriteSkin(const std::string& name, const std::string& text) {
    ASSERT_TRUE(platform::WriteFileAtomically(Res(name), text));
  }
  // A w by h image of one colour in the skin folder.
  void Solid(const std::string& name, uint32_t argb, int w = 8, int h = 8) { ASSERT_TRUE(WritePng(Res(name), w, h, argb)); }

  std::unique_ptr<SkinWindow> Open(const std::string& skin, int w, int h, IDialogBuilderCallback* callback = nullptr) {
    auto window = std::make_unique<SkinWindow>(skin, callback);
    EXPECT_TRUE(window->Create(nullptr, "skin", WS_POPUP | WS_VISIBLE, 0, 0, 0, w, h));
    return window;
  }
  static Shot Take(HWND hwnd) { return Shot(toolkit::headless::Render(hwnd)); }
};

}  // namespace toolkit_testing
