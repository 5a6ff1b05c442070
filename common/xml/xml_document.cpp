#include "common/xml/xml_document.h"

#include <vector>

#include "common/xml/xml_reader.h"
#include "common/xml/xml_writer.h"
#include "platform/codepage.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

XmlDocument::XmlDocument() { Reset(); }

void XmlDocument::Reset() {
  header_.declaration = kStandardDeclaration;
  header_.comments.clear();
  root_ = std::make_unique<XmlElement>("root");
  state_ = Defaults;
}

void XmlDocument::LoadFile(const std::string& path) {
  sourceName_ = path;
  std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) {
    Reset();
    return;
  }
  if (bytes->starts_with(platform::kUtf16LeBom)) {
    LoadText(platform::Utf16LeToUtf8(std::string_view(*bytes).substr(platform::kUtf16LeBom.size())));
  } else {
    LoadText(*bytes);
  }
}

void XmlDocument::LoadText(std::string_view text) {
  Reset();
  if (text.empty()) return;
  state_ = Read;
  size_t start = 0;
  size_t declarationEnd = text.find("?>");
  if (declarationEnd != std::string_view::npos) {
    start = declarationEnd + 2;
    header_.declaration = std::string(text.substr(0, start));
  } else {
    state_ = Defaults;
    header_.declaration = std::string(kUtf8Bom) + std::string(kStandardDeclaration);
  }
  if (text.find('<', start) == std::string_view::npos) {
    state_ = Defaults;
    return;
  }
  XmlReader::Read(text.substr(start), *this);
}

std::string XmlDocument::Serialize() const {
  std::string out;
  out += header_.declaration;
  out += "\r\n";
  for (const XmlHeader::Comment& comment : header_.comments) {
    if (comment.place == XmlHeader::BeforeRoot) out += "<!--" + comment.text + "-->\r\n";
  }
  WriteXmlElement(*root_, out);
  for (const XmlHeader::Comment& comment : header_.comments) {
    if (comment.place == XmlHeader::AfterRoot) out += "<!--" + comment.text + "-->\r\n";
  }
  return out;
}

bool XmlDocument::Save(const std::string& path, platform::FileAccess access) {
  const std::string& target = path.empty() ? sourceName_ : path;
  if (target.empty()) return false;
  header_.declaration = kStandardDeclaration;
  return platform::WriteFileAtomically(target, Serialize(), access);
}

bool XmlDocument::Validate() const {
  if (header_.declaration.empty() || !root_) return false;
  std::vector<const XmlElement*> pending{root_.get()};
  while (!pending.empty()) {
    const XmlElement* element = pending.back();
    pending.pop_back();
    if (element->EscapedName().empty()) return false;
    for (const XmlElement::Attribute& attribute : element->Attributes()) {
      if (attribute.name.empty()) return false;
    }
    for (const auto& child : element->Children()) pending.push_back(child.get());
  }
  return true;
}
