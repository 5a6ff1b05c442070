// The packed skin set as a whole: the archive and the folder hold every listed file, every skin file
// is well-formed and builds, every image or skin file a skin names is packed, and images are shown
// at the size they were drawn, so nothing on screen is a blurred stretch of a smaller picture.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>

#include "common/zip/zip_archive.h"
#include "platform/file_io.h"
#include "skins/client/tests/packed_skins.h"
#include "toolkit/skin/image_spec.h"

using namespace skin_testing;

namespace {

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> PackedSkinFiles() {
  std::vector<std::string> skins;
  for (const std::string& name : PackedNames()) {
    if (EndsWith(name, ".xml")) skins.push_back(name);
  }
  return skins;
}

// name="value" pairs of a Default element's value list.
std::vector<std::pair<std::string, std::string>> AttributeList(const std::string& list) {
  std::vector<std::pair<std::string, std::string>> pairs;
  static const std::regex pair(R"re(([A-Za-z_]+)="([^"]*)")re");
  for (auto it = std::sregex_iterator(list.begin(), list.end(), pair); it != std::sregex_iterator(); ++it) {
    pairs.emplace_back((*it)[1].str(), (*it)[2].str());
  }
  return pairs;
}

void ForEachElement(const XmlElement& element, const std::function<void(const XmlElement&)>& visit) {
  visit(element);
  for (int i = 0; i < element.ChildCount(); ++i) ForEachElement(*element.Child(i), visit);
}

// Where an element's images are drawn, when the skin fixes it: its pos, its width and height, or
// the whole window for the control that fills it.
std::optional<CSize> ShownSize(const XmlElement& element) {
  if (auto pos = toolkit::ParseRectValue(element.AttributeValue("pos", ""))) {
    return CSize(pos->GetWidth(), pos->GetHeight());
  }
  int w = toolkit::ParseIntValue(element.AttributeValue("width", ""));
  int h = toolkit::ParseIntValue(element.AttributeValue("height", ""));
  if (w > 0 && h > 0) return CSize(w, h);
  const XmlElement* parent = element.Parent();
  if (parent && parent->Name() == "Window" && !parent->Parent()) {
    int a = 0, b = 0;
    if (std::sscanf(parent->AttributeValue("size", "").c_str(), "%d,%d", &a, &b) == 2) return CSize(a, b);
  }
  return std::nullopt;
}

class SkinFiles : public PackedSkinTest {};

bool IsAscii(const std::string& name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST_F(SkinFiles, FolderAndArchiveHoldEveryListedFile) {
  ASSERT_GT(PackedNames().size(), 100u);
  auto archive = ZipArchive::Open(VYMERA_CLIENT_SKIN_ARCHIVE);
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->ItemCount(), PackedNames().size());
  for (const std::string& name : PackedNames()) {
    auto inFolder = ReadPacked(name);
    ASSERT_TRUE(inFolder) << name;
    if (EndsWith(name, ".png")) {
      EXPECT_EQ(inFolder->substr(0, 8), std::string("\x89PNG\r\n\x1a\n")) << name;
    }
    if (!IsAscii(name)) continue;  // see ArchiveNamesChineseFilesInTheCodePage
    auto inArchive = archive->ReadItem(name);
    ASSERT_TRUE(inArchive) << name;
    EXPECT_EQ(*inFolder, *inArchive) << name;
  }
  auto photo = ReadPacked("DefaultUser.jpg");
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->substr(0, 3), std::string("\xFF\xD8\xFF"));
  EXPECT_EQ(ImageSize("DefaultUser.jpg").value_or(CSize()).cx, 64);
}

// The archive is packed with UTF-8 names and says so; the readers take "健康称2.png" and the other
// Chinese names from it as they are, as they take the names of older archives in the code page.
TEST_F(SkinFiles, ArchiveNamesChineseFilesReadable) {
  auto archive = ZipArchive::Open(VYMERA_CLIENT_SKIN_ARCHIVE);
  ASSERT_TRUE(archive);
  for (const std::string& name : PackedNames()) {
    if (IsAscii(name)) continue;
    EXPECT_EQ(archive->ReadItem(name), ReadPacked(name)) << name;
  }
}

TEST_F(SkinFiles, EverySkinFileParsesAndBuilds) {
  for (const std::string& name : PackedSkinFiles()) {
    XmlDocument doc;
    ASSERT_TRUE(ParsePacked(name, doc)) << name;
    CPaintManagerUI pm;
    ExamineCallback callback;
    callback.manager = &pm;
    // A skin included in place may hold several controls side by side; the holder owns them all.
    CContainerUI holder;
    CDialogBuilder builder;
    if (builder.Create(CStdString(name), nullptr, &callback, &pm, &holder)) {
      EXPECT_GT(holder.GetCount(), 0) << name;
      continue;
    }
    // Only the shared settings that other skins include hold no control: fonts and defaults.
    const XmlElement& top = doc.Root();
    EXPECT_EQ(top.Name(), "Window") << name;
    for (int i = 0; i < top.ChildCount(); ++i) {
      std::string kind = top.Child(i)->Name();
      EXPECT_TRUE(kind == "Font" || kind == "Default") << name << " builds nothing but holds " << kind;
    }
  }
}

TEST_F(SkinFiles, EveryNamedImageAndIncludedFileIsPacked) {
  int images = 0;
  for (const std::string& skin : PackedSkinFiles()) {
    XmlDocument doc;
    ASSERT_TRUE(ParsePacked(skin, doc)) << skin;
    ForEachElement(doc.Root(), [&](const XmlElement& e) {
      std::vector<std::pair<std::string, std::string>> attributes;
      for (int i = 0; i < e.AttributeCount(); ++i) attributes.emplace_back(e.AttributeName(i), e.AttributeValue(i));
      if (e.Name() == "Default") attributes = AttributeList(e.AttributeValue("value", ""));
      if (e.Name() == "Include") {
        EXPECT_TRUE(IsPacked(e.AttributeValue("source", ""))) << skin << " includes " << e.AttributeValue("source", "");
      }
      for (const auto& [key, value] : attributes) {
        if (!EndsWith(key, "image")) continue;
        auto spec = toolkit::ParseImageSpec(value);
        ASSERT_TRUE(spec) << skin << ": " << key << "=" << value;
        EXPECT_TRUE(IsPacked(spec->file)) << skin << " names " << spec->file;
        EXPECT_TRUE(ImageSize(spec->file)) << spec->file << " does not decode";
        ++images;
      }
    });
  }
  EXPECT_GT(images, 200);
}

TEST_F(SkinFiles, ImagesAreShownAtTheSizeTheyWereDrawn) {
  for (const std::string& skin : PackedSkinFiles()) {
    XmlDocument doc;
    ASSERT_TRUE(ParsePacked(skin, doc)) << skin;
    ForEachElement(doc.Root(), [&](const XmlElement& e) {
      auto shown = ShownSize(e);
      for (int i = 0; i < e.AttributeCount(); ++i) {
        if (!EndsWith(e.AttributeName(i), "image")) continue;
        auto spec = toolkit::ParseImageSpec(e.AttributeValue(i));
        if (!spec) continue;
        bool sliced = spec->corner.left || spec->corner.top || spec->corner.right || spec->corner.bottom;
        auto size = ImageSize(spec->file);
        if (sliced || !size) continue;  // nine slices stretch only their straight edges
        CSize drawn = *size;
        if (spec->source) drawn = CSize(spec->source->GetWidth(), spec->source->GetHeight());
        std::optional<CSize> target = shown;
        if (spec->dest) target = CSize(spec->dest->GetWidth(), spec->dest->GetHeight());
        if (!target) continue;
        EXPECT_EQ(drawn.cx, target->cx) << skin << " " << e.AttributeValue("name", e.Name()) << " " << spec->file;
        EXPECT_EQ(drawn.cy, target->cy) << skin << " " << e.AttributeValue("name", e.Name()) << " " << spec->file;
      }
    });
  }
}

// The pictures with words draw them in the font the machine has, whatever the SVG renderer's default.
TEST_F(SkinFiles, SvgTextUsesTheInstalledChineseFont) {
  static const std::regex textElement(R"(<text\b[^>]*>)");
  int texts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VYMERA_CLIENT_SKIN_SOURCES)) {
    if (entry.path().extension() != ".svg") continue;
    std::string svg = platform::ReadWholeFile(entry.path().string()).value_or("");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), textElement); it != std::sregex_iterator(); ++it) {
      EXPECT_NE(it->str().find("font-family=\"WenQuanYi Micro Hei\""), std::string::npos) << entry.path().filename();
      ++texts;
    }
  }
  EXPECT_GT(texts, 40);
}

}  // namespace
