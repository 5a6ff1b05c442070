#include "common/xml/xml_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/xml/xml_element.h"

XmlOutput::XmlOutput(size_t maxBytes, Sink sink) : sink_(std::move(sink)), maxBytes_(maxBytes) {
  if (sink_) buffer_.reset(new char[kBufferSize]);
}

bool XmlOutput::Reserve(size_t count) {
  if (!ok_) return false;
  if (count > maxBytes_ - total_) {
    ok_ = false;
    return false;
  }
  total_ += count;
  return true;
}

void XmlOutput::Append(std::string_view bytes) {
  if (!Reserve(bytes.size()) || !sink_) return;
  while (!bytes.empty() && ok_) {
    if (used_ == kBufferSize) Flush();
    size_t n = std::min(kBufferSize - used_, bytes.size());
    std::memcpy(buffer_.get() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
  }
}

void XmlOutput::AppendRepeated(char c, size_t count) {
  if (!Reserve(count) || !sink_) return;
  while (count > 0 && ok_) {
    if (used_ == kBufferSize) Flush();
    size_t n = std::min(kBufferSize - used_, count);
    std::memset(buffer_.get() + used_, c, n);
    used_ += n;
    count -= n;
  }
}

void XmlOutput::Flush() {
  if (ok_ && used_ > 0) ok_ = sink_(std::string_view(buffer_.get(), used_));
  used_ = 0;
}

bool XmlOutput::Finish() {
  if (sink_) Flush();
  return ok_;
}

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void Indent(const XmlElement& settings, size_t depth, XmlOutput& out) {
  out.AppendRepeated(settings.IndentUnit(), depth * static_cast<size_t>(std::max(settings.IndentUnits(), 0)));
}

void WriteContent(const XmlElement& owner, const XmlElement::Content& content, size_t depth, XmlOutput& out) {
  Indent(owner, depth, out);
  switch (content.kind) {
    case XmlElement::ContentKind::Text:
      out.Append(content.text);
      break;
    case XmlElement::ContentKind::Comment:
      out.Append("<!--");
      out.Append(content.text);
      out.Append("-->");
      break;
    case XmlElement::ContentKind::Cdata:
      out.Append("<![CDATA[");
      out.Append(content.text);
      out.Append("]]>");
      break;
  }
  out.Append(kLineEnd);
}

void WriteEndTag(const XmlElement& element, XmlOutput& out) {
  out.Append("</");
  out.Append(element.EscapedName());
  out.Append('>');
}

// Writes the start tag; returns true when the element has inner items still to be written.
bool WriteStart(const XmlElement& element, size_t depth, XmlOutput& out) {
  Indent(element, depth, out);
  out.Append('<');
  out.Append(element.EscapedName());
  for (XmlElement::Attribute attribute : element.Attributes()) {
    out.Append(' ');
    out.Append(attribute.name);
    out.Append("=\"");
    out.Append(attribute.value);
    out.Append('"');
  }
  auto contents = element.Contents();
  if (element.ChildCount() == 0 && contents.empty()) {
    out.Append("/>");
    out.Append(kLineEnd);
    return false;
  }
  if (element.InlineContent() && element.ChildCount() == 0 && contents.size() == 1 &&
      contents[0].kind == XmlElement::ContentKind::Text) {
    out.Append('>');
    out.Append(contents[0].text);
    WriteEndTag(element, out);
    out.Append(kLineEnd);
    return false;
  }
  out.Append('>');
  out.Append(kLineEnd);
  return true;
}

}  // namespace

void WriteXmlElement(const XmlElement& root, XmlOutput& out) {
  struct Frame {
    const XmlElement* element;
    size_t depth;
    int nextChild;
    int nextContent;
  };
  std::vector<Frame> stack;
  if (WriteStart(root, 0, out)) stack.push_back({&root, 0, 0, 0});
  while (!stack.empty() && out.Ok()) {
    Frame& frame = stack.back();
    const XmlElement& element = *frame.element;
    int children = element.ChildCount();
    int contents = element.ContentCount();
    // Inner items placed before the next child, or all that are left once the children are done.
    while (frame.nextContent < contents) {
      XmlElement::Content content = element.ContentAt(frame.nextContent);
      if (frame.nextChild < children && content.place > static_cast<size_t>(frame.nextChild)) break;
      WriteContent(element, content, frame.depth + 1, out);
      ++frame.nextContent;
    }
    if (frame.nextChild < children) {
      const XmlElement& child = *element.Child(frame.nextChild++);
      size_t depth = frame.depth + 1;
      if (WriteStart(child, depth, out)) stack.push_back({&child, depth, 0, 0});
      continue;
    }
    Indent(element, frame.depth, out);
    WriteEndTag(element, out);
    out.Append(kLineEnd);
    stack.pop_back();
  }
}
