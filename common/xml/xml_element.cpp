#include "common/xml/xml_element.h"

#include "common/xml/xml_escape.h"
#include "platform/text.h"

namespace {

bool NameEquals(const std::string& escaped, std::string_view name) {
  if (escaped.find('&') == std::string::npos) return escaped == name;
  return XmlUnescape(escaped) == name;
}

// Where a tag's name ends: the first NUL, tab, space, double quote, "/" or ">".
size_t NameEnd(std::string_view tag) {
  for (size_t at = 0; at < tag.size(); ++at) {
    switch (tag[at]) {
      case '\0': case '\t': case ' ': case '"': case '/': case '>': return at;
      default: break;
    }
  }
  return std::string_view::npos;
}

}  // namespace

XmlElement::XmlElement(std::string escapedName) : name_(std::move(escapedName)) {}

XmlElement::~XmlElement() {
  // Detach the subtree level by level so that no destructor call recurses.
  std::vector<std::unique_ptr<XmlElement>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<XmlElement> element = std::move(pending.back());
    pending.pop_back();
    for (auto& child : element->children_) pending.push_back(std::move(child));
    element->children_.clear();
  }
}

std::string XmlElement::Name() const { return XmlUnescape(name_); }

XmlElement* XmlElement::Child(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

int XmlElement::IndexOfChild(std::string_view name) const {
  for (size_t i = 0; i < children_.size(); ++i) {
    if (NameEquals(children_[i]->name_, name)) return static_cast<int>(i);
  }
  return -1;
}

XmlElement* XmlElement::FindChild(std::string_view name, bool create) {
  int index = IndexOfChild(name);
  if (index >= 0) return children_[static_cast<size_t>(index)].get();
  if (!create) return nullptr;
  return &AdoptChild(std::make_unique<XmlElement>(XmlEscape(name)));
}

const XmlElement* XmlElement::FindChild(std::string_view name) const {
  int index = IndexOfChild(name);
  return index < 0 ? nullptr : children_[static_cast<size_t>(index)].get();
}

XmlElement& XmlElement::AddChild(std::string_view tagText) { return AdoptChild(FromTag(tagText)); }

XmlElement& XmlElement::AdoptChild(std::unique_ptr<XmlElement> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return *children_.back();
}

void XmlElement::RemoveChild(int index) {
  if (index < 0 || index >= ChildCount()) return;
  children_.erase(children_.begin() + index);
  // Items placed behind the removed child keep their place among the remaining children.
  for (Content& content : contents_) {
    if (content.place > static_cast<size_t>(index)) --content.place;
  }
}

const XmlElement::Attribute* XmlElement::FindAttribute(std::string_view name) const {
  for (const Attribute& attribute : attributes_) {
    if (NameEquals(attribute.name, name)) return &attribute;
  }
  return nullptr;
}

void XmlElement::AddAttribute(std::string_view name, std::string_view value) {
  attributes_.push_back({XmlEscape(name), XmlEscape(value)});
}

std::string XmlElement::AttributeName(int index) const {
  if (index < 0 || index >= AttributeCount()) return {};
  return XmlUnescape(attributes_[static_cast<size_t>(index)].name);
}

std::string XmlElement::AttributeValue(int index) const {
  if (index < 0 || index >= AttributeCount()) return {};
  return XmlUnescape(attributes_[static_cast<size_t>(index)].value);
}

std::string XmlElement::AttributeValue(std::string_view name, std::string_view fallback) const {
  const Attribute* attribute = FindAttribute(name);
  return attribute ? XmlUnescape(attribute->value) : std::string(fallback);
}

void XmlElement::AddText(std::string_view text) { AddRawContent(ContentKind::Text, XmlEscape(text)); }

void XmlElement::AddRawContent(ContentKind kind, std::string text) {
  contents_.push_back({kind, std::move(text), children_.size()});
}

int XmlElement::TextCount() const {
  int count = 0;
  for (const Content& content : contents_) count += content.kind == ContentKind::Text;
  return count;
}

std::string XmlElement::Text(int index) const {
  if (index < 0) return {};
  for (const Content& content : contents_) {
    if (content.kind == ContentKind::Text && index-- == 0) return XmlUnescape(content.text);
  }
  return {};
}

std::unique_ptr<XmlElement> XmlElement::FromTag(std::string_view tag) {
  size_t nameEnd = NameEnd(tag);
  auto element = std::make_unique<XmlElement>(std::string(tag.substr(0, nameEnd)));
  if (nameEnd == std::string_view::npos) return element;
  size_t at = nameEnd;
  for (;;) {
    while (at < tag.size() && platform::IsBlank(tag[at])) ++at;
    if (at >= tag.size() || tag[at] == '>' || tag[at] == '/') break;
    size_t equals = tag.find('=', at);
    if (equals == std::string_view::npos) break;
    size_t open = tag.find('"', equals + 1);
    if (open == std::string_view::npos) break;
    size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos) break;
    element->attributes_.push_back(
        {std::string(tag.substr(at, equals - at)), std::string(tag.substr(open + 1, close - open - 1))});
    at = close + 1;
  }
  return element;
}
