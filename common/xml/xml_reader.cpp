#include "common/xml/xml_reader.h"

#include <memory>
#include <optional>
#include <vector>

#include "common/xml/xml_document.h"
#include "platform/text.h"

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCommentOpen = "<!--";

// Position of the ">" that ends the tag opened at from, skipping any ">" between double quotes.
// A plain loop: this is the hottest scan of the reader.
size_t FindTagEnd(std::string_view text, size_t from) {
  bool quoted = false;
  for (size_t at = from; at < text.size(); ++at) {
    char c = text[at];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '>' && !quoted) {
      return at;
    }
  }
  return npos;
}

enum class ItemKind { Comment, Processing, Cdata, EndTag, EmptyTag, StartTag };

struct Item {
  ItemKind kind;
  std::string_view inner;  // text of a comment or CDATA section, or the tag text behind "<"
  size_t end;              // position behind the item
};

// The item that starts with "<" at position at, or nothing when it never ends.
std::optional<Item> NextItem(std::string_view text, size_t at) {
  std::string_view rest = text.substr(at);
  if (rest.starts_with(kCdataOpen)) {
    size_t close = text.find("]]>", at + kCdataOpen.size());
    if (close == npos) return std::nullopt;
    return Item{ItemKind::Cdata, text.substr(at + kCdataOpen.size(), close - at - kCdataOpen.size()), close + 3};
  }
  if (rest.starts_with(kCommentOpen)) {
    size_t close = text.find("-->", at + kCommentOpen.size());
    if (close == npos) return std::nullopt;
    return Item{ItemKind::Comment, text.substr(at + kCommentOpen.size(), close - at - kCommentOpen.size()), close + 3};
  }
  size_t close = FindTagEnd(text, at + 1);
  if (close == npos) return std::nullopt;
  std::string_view whole = text.substr(at, close + 1 - at);
  if (whole.starts_with("<?")) {
    // The text of a processing item runs from its fifth character to two before the ">".
    std::string_view inner = whole.size() > 6 ? whole.substr(4, whole.size() - 6) : std::string_view();
    return Item{ItemKind::Processing, inner, close + 1};
  }
  if (whole.starts_with("</")) return Item{ItemKind::EndTag, whole.substr(2, whole.size() - 3), close + 1};
  if (whole.size() >= 3 && whole.ends_with("/>")) {
    return Item{ItemKind::EmptyTag, whole.substr(1, whole.size() - 3), close + 1};
  }
  return Item{ItemKind::StartTag, whole.substr(1, whole.size() - 2), close + 1};
}

}  // namespace

void XmlReader::Read(std::string_view text, XmlDocument& document) {
  std::vector<XmlElement*> open;            // open elements, innermost last
  std::unique_ptr<XmlElement> topLevel;     // the top-level element being read
  std::unique_ptr<XmlElement> root;         // the first complete top-level element
  bool afterFirstElement = false;
  size_t at = 0;

  auto current = [&]() { return open.empty() ? nullptr : open.back(); };
  auto finishTopLevel = [&](std::unique_ptr<XmlElement> element) {
    // Only the first top-level element is the root; any later one is read and dropped.
    if (!root) root = std::move(element);
  };

  for (;;) {
    size_t lt = text.find('<', at);
    if (XmlElement* element = current()) {
      std::string_view between = platform::TrimBlanks(text.substr(at, lt == npos ? npos : lt - at));
      if (!between.empty()) element->AddRawContent(XmlElement::ContentKind::Text, std::string(between));
    }
    if (lt == npos) break;
    std::optional<Item> item = NextItem(text, lt);
    if (!item) break;
    at = item->end;
    XmlElement* parent = current();
    switch (item->kind) {
      case ItemKind::Comment:
      case ItemKind::Processing:
        if (parent) {
          parent->AddRawContent(XmlElement::ContentKind::Comment, std::string(item->inner));
        } else {
          document.Header().comments.push_back(
              {std::string(item->inner), afterFirstElement ? XmlHeader::AfterRoot : XmlHeader::BeforeRoot});
        }
        break;
      case ItemKind::Cdata:
        if (parent) parent->AddRawContent(XmlElement::ContentKind::Cdata, std::string(item->inner));
        break;
      case ItemKind::EmptyTag:
        if (parent) {
          parent->AdoptChild(XmlElement::FromTag(item->inner));
        } else {
          afterFirstElement = true;
          finishTopLevel(XmlElement::FromTag(item->inner));
        }
        break;
      case ItemKind::StartTag:
        if (parent) {
          open.push_back(&parent->AdoptChild(XmlElement::FromTag(item->inner)));
        } else {
          afterFirstElement = true;
          topLevel = XmlElement::FromTag(item->inner);
          open.push_back(topLevel.get());
        }
        break;
      case ItemKind::EndTag:
        if (!parent) {
          // An end tag with nothing open ends the reading.
          at = npos;
          break;
        }
        open.pop_back();
        if (open.empty()) finishTopLevel(std::move(topLevel));
        break;
    }
    if (at == npos) break;
  }

  if (!open.empty()) {
    // The outermost open element has no matching end tag: it is not read, and neither is anything in it.
    document.state_ = XmlDocument::Unbalanced;
  }
  if (root) document.root_ = std::move(root);
}
