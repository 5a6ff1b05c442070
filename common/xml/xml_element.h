#pragma once
// One element of an XmlDocument tree: its name, attributes, child elements, and the texts, comments
// and CDATA sections between them. Names, attribute values and texts are held escaped, as they
// stand in a file; every read unescapes and every value a caller gives is escaped when stored.
// Lookups compare the unescaped names exactly.
//
// Elements live in their document's arena (xml_arena.h) and are made only by the document, the
// reader and the Add and Find calls below; a reference stays valid until the document is loaded
// anew or destroyed. A removed child's memory is given back with the document's.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/xml/xml_arena.h"

class XmlElement {
 public:
  // Kinds of inner items that are not elements.
  enum class ContentKind : uint8_t { Text, Comment, Cdata };

  // An attribute as it stands in a file (escaped).
  struct Attribute {
    std::string_view name;
    std::string_view value;
  };

  // An inner item that is not an element.
  struct Content {
    ContentKind kind;
    std::string_view text;  // escaped for Text; as read for Comment and Cdata
    size_t place;           // number of child elements that stand before it
  };

  // The children, attributes or contents of an element as a sequence that can be indexed and
  // iterated; valid while the element is not changed.
  template <typename Value, Value (XmlElement::*Get)(int) const>
  class View {
   public:
    class Iterator {
     public:
      using value_type = Value;
      using difference_type = std::ptrdiff_t;
      Iterator() = default;
      Iterator(const XmlElement* owner, int index) : owner_(owner), index_(index) {}
      Value operator*() const { return (owner_->*Get)(index_); }
      Iterator& operator++() {
        ++index_;
        return *this;
      }
      Iterator operator++(int) {
        Iterator before = *this;
        ++index_;
        return before;
      }
      bool operator==(const Iterator& other) const { return index_ == other.index_; }

     private:
      const XmlElement* owner_ = nullptr;
      int index_ = 0;
    };

    View(const XmlElement* owner, int size) : owner_(owner), size_(size) {}
    size_t size() const { return static_cast<size_t>(size_); }
    bool empty() const { return size_ == 0; }
    Value operator[](size_t index) const { return (owner_->*Get)(static_cast<int>(index)); }
    Iterator begin() const { return {owner_, 0}; }
    Iterator end() const { return {owner_, size_}; }

   private:
    const XmlElement* owner_;
    int size_;
  };

  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  // The element's name, unescaped.
  std::string Name() const;
  std::string_view EscapedName() const { return Arena().View(name_, nameSize_); }
  // The element this one is a child of, or null for a root.
  XmlElement* Parent() const { return parent_ ? Arena().As<XmlElement>(parent_) : nullptr; }

  // Children.
  int ChildCount() const { return HasSingleContent() ? 0 : static_cast<int>(itemCount_); }
  // The child at index, or null when index is out of range.
  XmlElement* Child(int index) const;
  View<XmlElement*, &XmlElement::Child> Children() const { return {this, ChildCount()}; }
  // Index of the first direct child named name, or -1.
  int IndexOfChild(std::string_view name) const;
  // The first direct child named name; when there is none and create is set, a new empty child of
  // that name is appended and returned; otherwise null.
  XmlElement* FindChild(std::string_view name, bool create = false);
  // The first direct child named name, or null.
  const XmlElement* FindChild(std::string_view name) const;
  // Appends a child read from tag text like a start tag: "name" or "name a=\"1\" b=\"2\"".
  XmlElement& AddChild(std::string_view tagText);
  // Destroys the child at index; later children move up. Out of range: nothing happens.
  void RemoveChild(int index);

  // Attributes, in order.
  int AttributeCount() const;
  // The attribute at index (escaped), or empty texts when out of range.
  Attribute AttributeAt(int index) const;
  View<Attribute, &XmlElement::AttributeAt> Attributes() const { return {this, AttributeCount()}; }
  // The first attribute named name (unescaped comparison), or nothing.
  std::optional<Attribute> FindAttribute(std::string_view name) const;
  // Appends an attribute; an existing one of the same name is not replaced.
  void AddAttribute(std::string_view name, std::string_view value);
  // Unescaped name and value of the attribute at index; empty when out of range.
  std::string AttributeName(int index) const;
  std::string AttributeValue(int index) const;
  // The unescaped value of the first attribute named name, or fallback.
  std::string AttributeValue(std::string_view name, std::string_view fallback) const;

  // Texts.
  // Appends a text behind all children.
  void AddText(std::string_view text);
  int TextCount() const;
  // The unescaped text at index among the texts; empty when out of range.
  std::string Text(int index) const;
  // Text(0), or empty when there is none: the value of a "<name>value</name>" element.
  std::string Value() const { return Text(0); }

  // Every inner item that is not an element, in order.
  int ContentCount() const;
  // The inner item at index, or an empty text when out of range.
  Content ContentAt(int index) const;
  View<Content, &XmlElement::ContentAt> Contents() const { return {this, ContentCount()}; }
  // Appends a comment or CDATA section behind all children (texts go through AddText).
  void AddComment(std::string_view text) { AddRawContent(ContentKind::Comment, text); }
  void AddCdata(std::string_view text) { AddRawContent(ContentKind::Cdata, text); }

  // Indentation when written: unit tab or space, units per level, and whether an element whose
  // only inner item is one text is written on one line.
  void SetIndentation(char unit, int unitsPerLevel) {
    indentUnit_ = unit;
    indentUnits_ = unitsPerLevel;
  }
  char IndentUnit() const { return indentUnit_; }
  int IndentUnits() const { return indentUnits_; }
  void SetInlineContent(bool on) { flags_ = on ? flags_ | kInline : flags_ & ~kInline; }
  bool InlineContent() const { return flags_ & kInline; }

 private:
  friend class XmlReader;
  friend class XmlDocument;
  using Ref = XmlArena::Ref;

  // Attributes and inner items, kept apart from the element because most elements have neither.
  struct Extra;

  // flags_
  static constexpr uint8_t kInline = 1;         // SetInlineContent
  static constexpr uint8_t kSingle = 2;         // items_ holds the only inner item, see below
  static constexpr uint8_t kChildrenGrown = 4;  // the child array has room to grow, see Capacity
  static constexpr unsigned kKindShift = 4;     // kind of the single inner item

  XmlElement() = default;

  // A new element with the given escaped name in arena, or null when the arena is full.
  static XmlElement* Create(XmlArena& arena, std::string_view escapedName);
  // Reads start-tag text (the name runs to the first NUL, tab, space, double quote, "/" or ">";
  // attribute values stand between double quotes) into a new element.
  static XmlElement* FromTag(XmlArena& arena, std::string_view tagText, std::vector<Attribute>& scratch);
  // A new element with the given escaped name and attributes, or null when the arena is full.
  static XmlElement* Build(XmlArena& arena, std::string_view escapedName, const std::vector<Attribute>& attributes);
  // A detached element, handed out instead of a new one when the arena is full.
  static XmlElement& StandIn(XmlArena& arena);

  XmlArena& Arena() const { return XmlArena::Of(this); }
  bool HasSingleContent() const { return flags_ & kSingle; }
  Extra* GetExtra() const;
  Extra* MakeExtra();
  // Moves a single inner item into the inner item array, before children or more items come.
  bool SpillSingleContent();

  // Appends an inner item exactly as it stands in a file, placed after place children; false when
  // the arena is full.
  bool AddContentAt(ContentKind kind, std::string_view text, size_t place);
  void AddRawContent(ContentKind kind, std::string_view text);
  bool AddRawAttribute(std::string_view name, std::string_view value);
  // Appends child (already in this arena) to the children.
  bool AppendChild(XmlElement& child);
  // Sets the children all at once from the references of count children that have this element as
  // parent (the reader's way); false when the arena is full.
  bool SetChildren(const Ref* children, size_t count);
  const Ref* ChildRefs() const { return Arena().As<Ref>(items_); }

  // Escaped name: 8 bytes; links: 12; flags and indentation: 8. 32 bytes in all.
  Ref name_ = 0;
  uint32_t nameSize_ = 0;
  Ref parent_ = 0;
  Ref items_ = 0;          // the child array, or the text of the single inner item (kSingle)
  uint32_t itemCount_ = 0;  // children, or the size of that text
  Ref extra_ = 0;
  char indentUnit_ = '\t';
  uint8_t flags_ = 0;
  int indentUnits_ = 1;
};
