#pragma once
// The client's skins as the build packs them: the names the archive and the folder "res" hold, the
// files themselves, and windows built from them with the headless toolkit the way the client's
// windows build them (the main window's "ComputerExamine" supplied from its own skin file).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/xml/xml_document.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"

namespace skin_testing {

// Every name the build packs, in the order of the skin list (an SVG source as its PNG).
const std::vector<std::string>& PackedNames();
bool IsPacked(const std::string& name);
// The bytes of a packed file as the folder "res" holds it.
std::optional<std::string> ReadPacked(const std::string& name);
// Width and height of a packed PNG or JPEG; nothing when it is missing or not an image.
std::optional<CSize> ImageSize(const std::string& name);
// The packed skin file, parsed; false when it is missing or not well-formed.
bool ParsePacked(const std::string& name, XmlDocument& doc);

// Builds a custom control of the main window the way the window's builder callback does.
class ExamineCallback : public IDialogBuilderCallback {
 public:
  CPaintManagerUI* manager = nullptr;
  CControlUI* CreateControl(LPCTSTR className) override;
};

// A headless window showing one packed skin at the given size.
struct OpenedSkin {
  ExamineCallback callback;
  std::unique_ptr<toolkit_testing::SkinWindow> window;
  CControlUI* Find(const std::string& name) const { return window->pm.FindControl(name); }
};
std::unique_ptr<OpenedSkin> OpenPacked(const std::string& skin, int width, int height);

// Reads skins from the packed folder for each test.
class PackedSkinTest : public toolkit_testing::HeadlessTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace skin_testing
