#include "common/xml/xml_element.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "common/xml/xml_escape.h"
#include "common/xml/xml_scan.h"
#include "platform/text.h"

struct XmlElement::Extra {
  static constexpr uint8_t kAttributesGrown = 1;
  static constexpr uint8_t kContentsGrown = 2;

  Ref attributes;
  uint32_t attributeCount;
  Ref contents;
  uint32_t contentCount;
  uint8_t flags;
};

namespace {

using Ref = XmlArena::Ref;

struct AttributeRecord {
  Ref name;
  uint32_t nameSize;
  Ref value;
  uint32_t valueSize;
};

struct ContentRecord {
  Ref text;
  uint32_t size;
  uint32_t place;
  XmlElement::ContentKind kind;
};

bool NameEquals(std::string_view escaped, std::string_view name) {
  if (escaped.find('&') == std::string_view::npos) return escaped == name;
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

bool Fits(std::string_view text) { return text.size() <= UINT32_MAX; }

// An array that has never grown holds exactly its items (the reader builds them so); one that has
// grown holds the next power of two of them, at least four.
uint32_t Capacity(uint32_t count, bool grown) { return grown ? std::bit_ceil(std::max(count, 4u)) : count; }

// Room for one more item at the end of an array, moving it to a larger place when it is full;
// null when the arena has no room.
template <typename T>
T* AppendSlot(XmlArena& arena, Ref& array, uint32_t& count, uint8_t& flags, uint8_t grownFlag) {
  if (count == Capacity(count, flags & grownFlag)) {
    if (count >= UINT32_MAX / 2) return nullptr;
    uint32_t capacity = std::bit_ceil(std::max(count + 1, 4u));
    Ref fresh = arena.Allocate(size_t{capacity} * sizeof(T), alignof(T));
    if (fresh == 0) return nullptr;
    if (count > 0) std::memcpy(arena.At(fresh), arena.At(array), size_t{count} * sizeof(T));
    array = fresh;
    flags |= grownFlag;
  }
  return arena.As<T>(array) + count++;
}

}  // namespace

// ---- making elements ---------------------------------------------------------------------------

XmlElement* XmlElement::Create(XmlArena& arena, std::string_view escapedName) {
  if (!Fits(escapedName)) return nullptr;
  // A short name is kept right behind its element: one allocation, and near the element. A long
  // one goes apart, so that the element always stays in a segment of the arena.
  constexpr size_t kNameBehind = 1024;
  static_assert(sizeof(XmlElement) + kNameBehind <= XmlArena::kLargeItem);
  bool behind = escapedName.size() <= kNameBehind;
  Ref ref = arena.Allocate(sizeof(XmlElement) + (behind ? escapedName.size() : 0), alignof(XmlElement));
  if (ref == 0) return nullptr;
  auto* element = new (arena.At(ref)) XmlElement();
  if (behind) {
    element->name_ = ref + static_cast<Ref>(sizeof(XmlElement));
    XmlArena::CopyBytes(arena.At(element->name_), escapedName.data(), escapedName.size());
  } else {
    element->name_ = arena.Copy(escapedName);
    if (element->name_ == 0) return nullptr;
  }
  element->nameSize_ = static_cast<uint32_t>(escapedName.size());
  return element;
}

XmlElement& XmlElement::StandIn(XmlArena& arena) {
  static_assert(sizeof(XmlElement) <= XmlArena::kSpareSize);
  return *new (arena.At(arena.Spare())) XmlElement();
}

XmlElement* XmlElement::FromTag(XmlArena& arena, std::string_view tag, std::vector<Attribute>& scratch) {
  size_t nameEnd = NameEnd(tag);
  scratch.clear();
  size_t at = nameEnd;
  while (at < tag.size()) {
    while (at < tag.size() && platform::IsBlank(tag[at])) ++at;
    if (at >= tag.size() || tag[at] == '>' || tag[at] == '/') break;
    size_t equals = xml_scan::Find<'='>(tag, at);
    if (equals == std::string_view::npos) break;
    size_t open = xml_scan::Find<'"'>(tag, equals + 1);
    if (open == std::string_view::npos) break;
    size_t close = xml_scan::Find<'"'>(tag, open + 1);
    if (close == std::string_view::npos) break;
    scratch.push_back({tag.substr(at, equals - at), tag.substr(open + 1, close - open - 1)});
    at = close + 1;
  }
  return Build(arena, tag.substr(0, nameEnd), scratch);
}

XmlElement* XmlElement::Build(XmlArena& arena, std::string_view escapedName, const std::vector<Attribute>& attributes) {
  XmlElement* element = Create(arena, escapedName);
  if (!element || attributes.empty()) return element;
  // The attributes of a read tag are stored in an array of exactly their number.
  Extra* extra = element->MakeExtra();
  Ref array = arena.Allocate(attributes.size() * sizeof(AttributeRecord), alignof(AttributeRecord));
  if (!extra || array == 0) return nullptr;
  auto* records = arena.As<AttributeRecord>(array);
  for (const Attribute& attribute : attributes) {
    if (!Fits(attribute.name) || !Fits(attribute.value)) return nullptr;
    *records = {arena.Copy(attribute.name), static_cast<uint32_t>(attribute.name.size()), arena.Copy(attribute.value),
                static_cast<uint32_t>(attribute.value.size())};
    if ((records->name == 0 && records->nameSize) || (records->value == 0 && records->valueSize)) return nullptr;
    ++records;
  }
  extra->attributes = array;
  extra->attributeCount = static_cast<uint32_t>(attributes.size());
  return element;
}

XmlElement::Extra* XmlElement::GetExtra() const { return extra_ ? Arena().As<Extra>(extra_) : nullptr; }

XmlElement::Extra* XmlElement::MakeExtra() {
  if (extra_) return GetExtra();
  XmlArena& arena = Arena();
  Ref ref = arena.Allocate(sizeof(Extra), alignof(Extra));
  if (ref == 0) return nullptr;
  extra_ = ref;
  return new (arena.At(ref)) Extra{};
}

// ---- children ----------------------------------------------------------------------------------

std::string XmlElement::Name() const { return XmlUnescape(EscapedName()); }

XmlElement* XmlElement::Child(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return Arena().As<XmlElement>(ChildRefs()[index]);
}

int XmlElement::IndexOfChild(std::string_view name) const {
  int count = ChildCount();
  for (int i = 0; i < count; ++i) {
    if (NameEquals(Child(i)->EscapedName(), name)) return i;
  }
  return -1;
}

XmlElement* XmlElement::FindChild(std::string_view name, bool create) {
  int index = IndexOfChild(name);
  if (index >= 0) return Child(index);
  if (!create) return nullptr;
  XmlArena& arena = Arena();
  XmlElement* child = Create(arena, XmlEscape(name));
  if (!child || !AppendChild(*child)) return &StandIn(arena);
  return child;
}

const XmlElement* XmlElement::FindChild(std::string_view name) const {
  int index = IndexOfChild(name);
  return index < 0 ? nullptr : Child(index);
}

XmlElement& XmlElement::AddChild(std::string_view tagText) {
  XmlArena& arena = Arena();
  std::vector<Attribute> scratch;
  XmlElement* child = FromTag(arena, tagText, scratch);
  if (!child || !AppendChild(*child)) return StandIn(arena);
  return *child;
}

bool XmlElement::AppendChild(XmlElement& child) {
  if (!SpillSingleContent()) return false;
  XmlArena& arena = Arena();
  Ref* slot = AppendSlot<Ref>(arena, items_, itemCount_, flags_, kChildrenGrown);
  if (!slot) return false;
  *slot = arena.RefOf(&child);
  child.parent_ = arena.RefOf(this);
  return true;
}

bool XmlElement::SetChildren(const Ref* children, size_t count) {
  if (count == 0) return true;
  if (!SpillSingleContent() || count > UINT32_MAX) return false;
  XmlArena& arena = Arena();
  Ref array = arena.Allocate(count * sizeof(Ref), alignof(Ref));
  if (array == 0) return false;
  std::memcpy(arena.At(array), children, count * sizeof(Ref));
  items_ = array;
  itemCount_ = static_cast<uint32_t>(count);
  flags_ &= ~kChildrenGrown;
  return true;
}

void XmlElement::RemoveChild(int index) {
  if (index < 0 || index >= ChildCount()) return;
  Ref* refs = Arena().As<Ref>(items_);
  std::memmove(refs + index, refs + index + 1, (itemCount_ - static_cast<uint32_t>(index) - 1) * sizeof(Ref));
  --itemCount_;
  // Items placed behind the removed child keep their place among the remaining children.
  if (Extra* extra = GetExtra()) {
    auto* contents = Arena().As<ContentRecord>(extra->contents);
    for (uint32_t i = 0; i < extra->contentCount; ++i) {
      if (contents[i].place > static_cast<uint32_t>(index)) --contents[i].place;
    }
  }
}

// ---- attributes --------------------------------------------------------------------------------

int XmlElement::AttributeCount() const {
  Extra* extra = GetExtra();
  return extra ? static_cast<int>(extra->attributeCount) : 0;
}

XmlElement::Attribute XmlElement::AttributeAt(int index) const {
  if (index < 0 || index >= AttributeCount()) return {};
  const XmlArena& arena = Arena();
  const AttributeRecord& record = arena.As<AttributeRecord>(GetExtra()->attributes)[index];
  return {arena.View(record.name, record.nameSize), arena.View(record.value, record.valueSize)};
}

std::optional<XmlElement::Attribute> XmlElement::FindAttribute(std::string_view name) const {
  int count = AttributeCount();
  for (int i = 0; i < count; ++i) {
    Attribute attribute = AttributeAt(i);
    if (NameEquals(attribute.name, name)) return attribute;
  }
  return std::nullopt;
}

void XmlElement::AddAttribute(std::string_view name, std::string_view value) {
  AddRawAttribute(XmlEscape(name), XmlEscape(value));
}

bool XmlElement::AddRawAttribute(std::string_view name, std::string_view value) {
  if (!Fits(name) || !Fits(value)) return false;
  XmlArena& arena = Arena();
  Extra* extra = MakeExtra();
  if (!extra) return false;
  Ref nameRef = arena.Copy(name);
  Ref valueRef = arena.Copy(value);
  if ((nameRef == 0 && !name.empty()) || (valueRef == 0 && !value.empty())) return false;
  AttributeRecord* slot =
      AppendSlot<AttributeRecord>(arena, extra->attributes, extra->attributeCount, extra->flags, Extra::kAttributesGrown);
  if (!slot) return false;
  *slot = {nameRef, static_cast<uint32_t>(name.size()), valueRef, static_cast<uint32_t>(value.size())};
  return true;
}

std::string XmlElement::AttributeName(int index) const { return XmlUnescape(AttributeAt(index).name); }

std::string XmlElement::AttributeValue(int index) const { return XmlUnescape(AttributeAt(index).value); }

std::string XmlElement::AttributeValue(std::string_view name, std::string_view fallback) const {
  std::optional<Attribute> attribute = FindAttribute(name);
  return attribute ? XmlUnescape(attribute->value) : std::string(fallback);
}

// ---- texts, comments and CDATA sections --------------------------------------------------------

void XmlElement::AddText(std::string_view text) { AddRawContent(ContentKind::Text, XmlEscape(text)); }

void XmlElement::AddRawContent(ContentKind kind, std::string_view text) {
  AddContentAt(kind, text, static_cast<size_t>(ChildCount()));
}

bool XmlElement::AddContentAt(ContentKind kind, std::string_view text, size_t place) {
  if (!Fits(text) || place > UINT32_MAX) return false;
  XmlArena& arena = Arena();
  Ref ref = arena.Copy(text);
  if (ref == 0 && !text.empty()) return false;
  // The most common inner item, the one text of a leaf, is kept in the element itself.
  if (place == 0 && itemCount_ == 0 && !HasSingleContent() && (extra_ == 0 || GetExtra()->contentCount == 0)) {
    items_ = ref;
    itemCount_ = static_cast<uint32_t>(text.size());
    flags_ |= kSingle | static_cast<uint8_t>(static_cast<unsigned>(kind) << kKindShift);
    return true;
  }
  if (!SpillSingleContent()) return false;
  Extra* extra = MakeExtra();
  if (!extra) return false;
  ContentRecord* slot =
      AppendSlot<ContentRecord>(arena, extra->contents, extra->contentCount, extra->flags, Extra::kContentsGrown);
  if (!slot) return false;
  *slot = {ref, static_cast<uint32_t>(text.size()), static_cast<uint32_t>(place), kind};
  return true;
}

bool XmlElement::SpillSingleContent() {
  if (!HasSingleContent()) return true;
  XmlArena& arena = Arena();
  Extra* extra = MakeExtra();
  if (!extra) return false;
  ContentRecord* slot =
      AppendSlot<ContentRecord>(arena, extra->contents, extra->contentCount, extra->flags, Extra::kContentsGrown);
  if (!slot) return false;
  *slot = {items_, itemCount_, 0, static_cast<ContentKind>(flags_ >> kKindShift)};
  items_ = 0;
  itemCount_ = 0;
  flags_ &= kInline;
  return true;
}

int XmlElement::ContentCount() const {
  if (HasSingleContent()) return 1;
  Extra* extra = GetExtra();
  return extra ? static_cast<int>(extra->contentCount) : 0;
}

XmlElement::Content XmlElement::ContentAt(int index) const {
  if (index < 0 || index >= ContentCount()) return {ContentKind::Text, {}, 0};
  const XmlArena& arena = Arena();
  if (HasSingleContent()) return {static_cast<ContentKind>(flags_ >> kKindShift), arena.View(items_, itemCount_), 0};
  const ContentRecord& record = arena.As<ContentRecord>(GetExtra()->contents)[index];
  return {record.kind, arena.View(record.text, record.size), record.place};
}

int XmlElement::TextCount() const {
  int count = 0;
  for (Content content : Contents()) count += content.kind == ContentKind::Text;
  return count;
}

std::string XmlElement::Text(int index) const {
  if (index < 0) return {};
  for (Content content : Contents()) {
    if (content.kind == ContentKind::Text && index-- == 0) return XmlUnescape(content.text);
  }
  return {};
}
