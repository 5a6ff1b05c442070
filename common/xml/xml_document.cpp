#include "common/xml/xml_document.h"

#include <vector>

#include "common/xml/xml_reader.h"
#include "common/xml/xml_writer.h"
#include "platform/codepage.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

void WriteHeaderComments(const XmlHeader& header, XmlHeader::Place place, XmlOutput& out) {
  for (const XmlHeader::Comment& comment : header.comments) {
    if (comment.place != place) continue;
    out.Append("<!--");
    out.Append(comment.text);
    out.Append("-->");
    out.Append(kLineEnd);
  }
}

}  // namespace

XmlDocument::XmlDocument(size_t memoryBound) : arena_(std::make_unique<XmlArena>(memoryBound)) { Reset(); }

void XmlDocument::Reset() {
  header_.declaration = kStandardDeclaration;
  header_.comments.clear();
  arena_->Clear();
  // A fresh arena has room for this in its first segment.
  root_ = XmlElement::Create(*arena_, "root");
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
  if (text.empty() || text.size() > kMaxTextBytes) return;
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

bool XmlDocument::Write(XmlOutput& out) const {
  if (arena_->Failed()) return false;
  out.Append(header_.declaration);
  out.Append(kLineEnd);
  WriteHeaderComments(header_, XmlHeader::BeforeRoot, out);
  WriteXmlElement(*root_, out);
  WriteHeaderComments(header_, XmlHeader::AfterRoot, out);
  return out.Finish();
}

std::optional<size_t> XmlDocument::TextSize() const {
  XmlOutput measure(kMaxTextBytes, nullptr);
  if (!Write(measure)) return std::nullopt;
  return measure.Total();
}

std::optional<std::string> XmlDocument::Serialize() const {
  std::optional<size_t> size = TextSize();
  if (!size) return std::nullopt;
  std::string text;
  text.reserve(*size);
  XmlOutput out(*size, [&text](std::string_view bytes) {
    text.append(bytes);
    return true;
  });
  if (!Write(out)) return std::nullopt;
  return text;
}

bool XmlDocument::Save(const std::string& path, platform::FileAccess access) {
  const std::string& target = path.empty() ? sourceName_ : path;
  if (target.empty()) return false;
  header_.declaration = kStandardDeclaration;
  // Measured first, so that a text too large to be read back costs no disk space and leaves the
  // file as it was.
  std::optional<size_t> size = TextSize();
  if (!size) return false;
  platform::AtomicFileWriter file(target, access);
  XmlOutput out(*size, [&file](std::string_view bytes) { return file.Write(bytes); });
  return Write(out) && file.Commit();
}

bool XmlDocument::Validate() const {
  if (header_.declaration.empty() || !root_) return false;
  std::vector<const XmlElement*> pending{root_};
  while (!pending.empty()) {
    const XmlElement* element = pending.back();
    pending.pop_back();
    if (element->EscapedName().empty()) return false;
    for (XmlElement::Attribute attribute : element->Attributes()) {
      if (attribute.name.empty()) return false;
    }
    for (const XmlElement* child : element->Children()) pending.push_back(child);
  }
  return true;
}
