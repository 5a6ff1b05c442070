#pragma once
// A fresh skin folder per test ("res", with "user" beside it), made the resource path of the
// process for the test's length, and the windows and pictures tests make from it.

#include <cairo.h>

#include <memory>
#include <string>

#include "testing/temp_folder.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"
#include "toolkit/testing/test_images.h"

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

  void SetUp() override;
  void TearDown() override;

  std::string Res(const std::string& name) { return folder.File("res/" + name); }
  void WriteSkin(const std::string& name, const std::string& text);
  // A w by h image of one colour in the skin folder.
  void Solid(const std::string& name, uint32_t argb, int w = 8, int h = 8);

  // A visible pop-up w by h built from skin (a file name or skin text); it fails the test when the
  // skin cannot be built.
  std::unique_ptr<SkinWindow> Open(const std::string& skin, int w, int h, IDialogBuilderCallback* callback = nullptr);
  static Shot Take(HWND hwnd) { return Shot(toolkit::headless::Render(hwnd)); }
};

}  // namespace toolkit_testing
