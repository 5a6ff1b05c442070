#include "common/xml/xml_writer.h"

#include <algorithm>
#include <vector>

#include "common/xml/xml_element.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void Indent(const XmlElement& settings, size_t depth, std::string& out) {
  out.append(depth * static_cast<size_t>(std::max(settings.IndentUnits(), 0)), settings.IndentUnit());
}

void WriteContent(const XmlElement& owner, const XmlElement::Content& content, size_t depth, std::string& out) {
  Indent(owner, depth, out);
  switch (content.kind) {
    case XmlElement::ContentKind::Text: out += content.text; break;
    case XmlElement::ContentKind::Comment: out += "<!--" + content.text + "-->"; break;
    case XmlElement::ContentKind::Cdata: out += "<![CDATA[" + content.text + "]]>"; break;
  }
  out += kLineEnd;
}

void WriteEndTag(const XmlElement& element, std::string& out) {
  out += "</";
  out += element.EscapedName();
  out += '>';
}

// Writes the start tag; returns true when the element has inner items still to be written.
bool WriteStart(const XmlElement& element, size_t depth, std::string& out) {
  Indent(element, depth, out);
  out += '<';
  out += element.EscapedName();
  for (const XmlElement::Attribute& attribute : element.Attributes()) {
    out += ' ';
    out += attribute.name;
    out += "=\"";
    out += attribute.value;
    out += '"';
  }
  const auto& contents = element.Contents();
  if (element.Children().empty() && contents.empty()) {
    out += "/>";
    out += kLineEnd;
    return false;
  }
  if (element.InlineContent() && element.Children().empty() && contents.size() == 1 &&
      contents[0].kind == XmlElement::ContentKind::Text) {
    out += '>';
    out += contents[0].text;
    WriteEndTag(element, out);
    out += kLineEnd;
    return false;
  }
  out += '>';
  out += kLineEnd;
  return true;
}

}  // namespace

void WriteXmlElement(const XmlElement& root, std::string& out) {
  struct Frame {
    const XmlElement* element;
    size_t depth;
    size_t nextChild;
    size_t nextContent;
  };
  std::vector<Frame> stack;
  if (WriteStart(root, 0, out)) stack.push_back({&root, 0, 0, 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const XmlElement& element = *frame.element;
    const auto& children = element.Children();
    const auto& contents = element.Contents();
    // Inner items placed before the next child, or all that are left once the children are done.
    while (frame.nextContent < contents.size() &&
           (frame.nextChild >= children.size() || contents[frame.nextContent].place <= frame.nextChild)) {
      WriteContent(element, contents[frame.nextContent++], frame.depth + 1, out);
    }
    if (frame.nextChild < children.size()) {
      const XmlElement& child = *children[frame.nextChild++];
      size_t depth = frame.depth + 1;
      if (WriteStart(child, depth, out)) stack.push_back({&child, depth, 0, 0});
      continue;
    }
    Indent(element, frame.depth, out);
    WriteEndTag(element, out);
    out += kLineEnd;
    stack.pop_back();
  }
}
