#include "skins/client/tests/packed_skins.h"

#include <algorithm>
#include <sstream>

#include "platform/file_io.h"
#include "toolkit/render/renderer.h"

namespace skin_testing {

namespace {

std::vector<std::string> ReadNames() {
  std::vector<std::string> names;
  std::istringstream lines(platform::ReadWholeFile(VYMERA_CLIENT_SKIN_NAMES).value_or(""));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

}  // namespace

const std::vector<std::string>& PackedNames() {
  static const std::vector<std::string> names = ReadNames();
  return names;
}

bool IsPacked(const std::string& name) {
  const auto& names = PackedNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::optional<std::string> ReadPacked(const std::string& name) {
  if (!IsPacked(name)) return std::nullopt;
  return platform::ReadWholeFile(std::string(VYMERA_CLIENT_SKIN_FOLDER) + "/" + name);
}

std::optional<CSize> ImageSize(const std::string& name) {
  auto bytes = ReadPacked(name);
  if (!bytes) return std::nullopt;
  auto image = toolkit::DecodeImage(*bytes, std::nullopt);
  if (!image) return std::nullopt;
  return CSize(image->Width(), image->Height());
}

bool ParsePacked(const std::string& name, XmlDocument& doc) {
  auto text = ReadPacked(name);
  if (!text) return false;
  doc.LoadText(*text);
  return doc.State() == XmlDocument::Read && doc.Validate();
}

CControlUI* ExamineCallback::CreateControl(LPCTSTR className) {
  if (std::string(className) != "ComputerExamine") return nullptr;
  CDialogBuilder builder;
  CControlUI* examine = builder.Create(CStdString("ComputerExamine.xml"), nullptr, nullptr, manager);
  return examine ? examine : new CContainerUI();
}

std::unique_ptr<OpenedSkin> OpenPacked(const std::string& skin, int width, int height) {
  auto opened = std::make_unique<OpenedSkin>();
  opened->window = std::make_unique<toolkit_testing::SkinWindow>(skin, &opened->callback);
  opened->callback.manager = &opened->window->pm;
  if (!opened->window->Create(nullptr, "skin", WS_POPUP | WS_VISIBLE, 0, 0, 0, width, height)) return nullptr;
  return opened;
}

void PackedSkinTest::SetUp() {
  HeadlessTest::SetUp();
  CPaintManagerUI::SetResourceZip("");
  CPaintManagerUI::SetResourcePath(CStdString(VYMERA_CLIENT_SKIN_FOLDER));
}

void PackedSkinTest::TearDown() {
  CPaintManagerUI::SetResourcePath("");
  HeadlessTest::TearDown();
}

}  // namespace skin_testing
