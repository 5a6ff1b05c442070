#include "common/xml/xml_reader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/xml/xml_document.h"
#include "common/xml/xml_scan.h"
#include "platform/text.h"

namespace {

using Ref = XmlArena::Ref;
constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCommentOpen = "<!--";

using xml_scan::Find;
using xml_scan::FindAny;

const char* Find(const char* from, const char* end, std::string_view needle) {
  size_t at = std::string_view(from, static_cast<size_t>(end - from)).find(needle);
  return at == std::string_view::npos ? nullptr : from + at;
}

// The ">" that ends the tag whose text starts at from, skipping any ">" between double quotes; null
// when there is none.
const char* FindTagEnd(const char* from, const char* end) {
  for (;;) {
    from = FindAny<'>', '"'>(from, end);
    if (!from || *from == '>') return from;
    from = Find<'"'>(from + 1, end);
    if (!from) return nullptr;
    ++from;
  }
}

enum class ItemKind { Comment, Processing, Cdata, EndTag, EmptyTag, StartTag };

struct Item {
  ItemKind kind;
  // Text of a comment or CDATA section; the tag text behind "<" (scanned: the element name, and
  // the attributes are in the reader's scratch).
  std::string_view inner;
  bool scanned;
  const char* end;  // behind the item
};

// The bytes that end an element name: NUL, tab, space, double quote, "/" and ">".
constexpr auto kEndsName = [] {
  std::array<bool, 256> table{};
  for (char c : {'\0', '\t', ' ', '"', '/', '>'}) table[static_cast<uint8_t>(c)] = true;
  return table;
}();

// Reads the start or empty tag at lt in one pass: the name, the attributes and the closing ">",
// exactly as finding the tag's end and then reading its text would. False when the tag holds a
// quote or ">" outside an attribute value, where the two could differ, or has no end: the two-step
// way reads those.
bool ScanTag(const char* lt, const char* end, std::string_view& name, std::vector<XmlElement::Attribute>& attributes,
             const char*& close) {
  const char* p = lt + 1;
  while (p < end && !kEndsName[static_cast<uint8_t>(*p)]) ++p;
  name = std::string_view(lt + 1, static_cast<size_t>(p - lt - 1));
  attributes.clear();
  for (;;) {
    while (p < end && platform::IsBlank(*p)) ++p;
    if (p == end || *p == '"') return false;
    if (*p == '>') {
      close = p;
      return true;
    }
    if (*p == '/') {
      // The attributes end here; the tag runs on to its ">".
      close = FindTagEnd(p, end);
      return close != nullptr;
    }
    const char* attributeName = p;
    p = FindAny<'=', '"', '>'>(p, end);
    if (!p || *p != '=') return false;
    const char* equals = p;
    p = FindAny<'"', '>'>(p + 1, end);
    if (!p || *p != '"') return false;
    const char* valueEnd = Find<'"'>(p + 1, end);
    if (!valueEnd) return false;
    attributes.push_back({std::string_view(attributeName, static_cast<size_t>(equals - attributeName)),
                          std::string_view(p + 1, static_cast<size_t>(valueEnd - p - 1))});
    p = valueEnd + 1;
  }
}

// The item that starts with "<" at lt; false when it never ends.
bool NextItem(const char* lt, const char* end, std::vector<XmlElement::Attribute>& attributes, Item& item) {
  std::string_view rest(lt, static_cast<size_t>(end - lt));
  if (rest.size() < 2) return false;
  if (lt[1] == '!') {
    // A CDATA section or a comment runs to its own closing mark.
    auto enclosed = [&](ItemKind kind, std::string_view open, std::string_view closing) {
      const char* at = Find(lt + open.size(), end, closing);
      if (at) item = {kind, std::string_view(lt + open.size(), static_cast<size_t>(at - lt) - open.size()), false, at + closing.size()};
      return at != nullptr;
    };
    if (rest.starts_with(kCdataOpen)) return enclosed(ItemKind::Cdata, kCdataOpen, "]]>");
    if (rest.starts_with(kCommentOpen)) return enclosed(ItemKind::Comment, kCommentOpen, "-->");
  }
  const char* close = nullptr;
  item.scanned = lt[1] != '?' && lt[1] != '/' && ScanTag(lt, end, item.inner, attributes, close);
  if (!item.scanned) close = FindTagEnd(lt + 1, end);
  if (!close) return false;
  size_t size = static_cast<size_t>(close - lt) + 1;
  item.end = close + 1;
  if (lt[1] == '?') {
    // The text of a processing item runs from its fifth character to two before the ">".
    item.kind = ItemKind::Processing;
    item.inner = size > 6 ? std::string_view(lt + 4, size - 6) : std::string_view();
  } else if (lt[1] == '/') {
    item.kind = ItemKind::EndTag;
    item.inner = std::string_view(lt + 2, size - 3);
  } else if (size >= 3 && close[-1] == '/') {
    item.kind = ItemKind::EmptyTag;
    if (!item.scanned) item.inner = std::string_view(lt + 1, size - 3);
  } else {
    item.kind = ItemKind::StartTag;
    if (!item.scanned) item.inner = std::string_view(lt + 1, size - 2);
  }
  return true;
}

std::string_view TrimmedText(const char* from, const char* end) {
  while (from < end && platform::IsBlank(*from)) ++from;
  while (from < end && platform::IsBlank(end[-1])) --end;
  return std::string_view(from, static_cast<size_t>(end - from));
}

}  // namespace

void XmlReader::Read(std::string_view text, XmlDocument& document) {
  XmlArena& arena = *document.arena_;
  struct Open {
    XmlElement* element;
    size_t firstChild;  // where its children start in children
  };
  std::vector<Open> open;      // open elements, innermost last
  std::vector<Ref> children;   // the children read so far of every open element, in order
  std::vector<XmlElement::Attribute> scratch;
  XmlElement* root = nullptr;  // the first complete top-level element
  bool afterFirstElement = false;
  bool full = false;
  const char* const end = text.data() + text.size();
  const char* at = text.data();

  for (;;) {
    const char* lt = Find<'<'>(at, end);
    if (!open.empty()) {
      std::string_view between = TrimmedText(at, lt ? lt : end);
      const Open& current = open.back();
      if (!between.empty() &&
          !current.element->AddContentAt(XmlElement::ContentKind::Text, between, children.size() - current.firstChild)) {
        full = true;
        break;
      }
    }
    if (!lt) break;
    Item item;
    if (!NextItem(lt, end, scratch, item)) break;
    at = item.end;
    const Open* parent = open.empty() ? nullptr : &open.back();
    XmlElement* element = nullptr;
    switch (item.kind) {
      case ItemKind::Comment:
      case ItemKind::Processing:
      case ItemKind::Cdata: {
        auto kind = item.kind == ItemKind::Cdata ? XmlElement::ContentKind::Cdata : XmlElement::ContentKind::Comment;
        if (parent) {
          full = !parent->element->AddContentAt(kind, item.inner, children.size() - parent->firstChild);
        } else if (item.kind != ItemKind::Cdata) {
          document.Header().comments.push_back(
              {std::string(item.inner), afterFirstElement ? XmlHeader::AfterRoot : XmlHeader::BeforeRoot});
        }
        break;
      }
      case ItemKind::EmptyTag:
      case ItemKind::StartTag:
        element = item.scanned ? XmlElement::Build(arena, item.inner, scratch)
                               : XmlElement::FromTag(arena, item.inner, scratch);
        if (!element) {
          full = true;
          break;
        }
        if (parent) {
          element->parent_ = arena.RefOf(parent->element);
          children.push_back(arena.RefOf(element));
        } else {
          afterFirstElement = true;
        }
        if (item.kind == ItemKind::StartTag) {
          open.push_back({element, children.size()});
        } else if (!parent && !root) {
          // Only the first top-level element is the root; any later one is read and dropped.
          root = element;
        }
        break;
      case ItemKind::EndTag: {
        if (!parent) {
          // An end tag with nothing open ends the reading.
          at = nullptr;
          break;
        }
        Open closed = open.back();
        open.pop_back();
        full = !closed.element->SetChildren(children.data() + closed.firstChild, children.size() - closed.firstChild);
        children.resize(closed.firstChild);
        if (open.empty() && !root) root = closed.element;
        break;
      }
    }
    if (full || !at) break;
  }

  if (!open.empty() || full) {
    // The outermost open element has no matching end tag (or there was no room to read it): it is
    // not read, and neither is anything in it.
    document.state_ = XmlDocument::Unbalanced;
  }
  if (root) document.root_ = root;
}
