#pragma once
// One element of an XmlDocument tree: its name, attributes, child elements, and the texts, comments
// and CDATA sections between them. Names, attribute values and texts are held escaped, as they
// stand in a file; every read unescapes and every value a caller gives is escaped when stored.
// Lookups compare the unescaped names exactly.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XmlElement {
 public:
  // Kinds of inner items that are not elements.
  enum class ContentKind { Text, Comment, Cdata };

  struct Attribute {
    std::string name;   // escaped
    std::string value;  // escaped
  };

  struct Content {
    ContentKind kind;
    std::string text;  // escaped for Text; as read for Comment and Cdata
    size_t place;      // number of child elements that stand before it
  };

  // An element with the given escaped name and no parent.
  explicit XmlElement(std::string escapedName = "root");
  // Frees the subtree without recursion, however deep it is.
  ~XmlElement();
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  // The element's name, unescaped.
  std::string Name() const;
  const std::string& EscapedName() const { return name_; }
  XmlElement* Parent() const { return parent_; }

  // Children.
  int ChildCount() const { return static_cast<int>(children_.size()); }
  // The child at index, or null when index is out of range.
  XmlElement* Child(int index) const;
  // Index of the first direct child named name, or -1.
  int IndexOfChild(std::string_view name) const;
  // The first direct child named name; when there is none and create is set, a new empty child of
  // that name is appended and returned; otherwise null.
  XmlElement* FindChild(std::string_view name, bool create = false);
  // The first direct child named name, or null.
  const XmlElement* FindChild(std::string_view name) const;
  // Appends a child read from tag text like a start tag: "name" or "name a=\"1\" b=\"2\"".
  XmlElement& AddChild(std::string_view tagText);
  // Appends an already built child and takes ownership.
  XmlElement& AdoptChild(std::unique_ptr<XmlElement> child);
  // Destroys the child at index; later children move up. Out of range: nothing happens.
  void RemoveChild(int index);

  // Attributes, in order.
  int AttributeCount() const { return static_cast<int>(attributes_.size()); }
  // The first attribute named name (unescaped comparison), or null.
  const Attribute* FindAttribute(std::string_view name) const;
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
  const std::vector<Content>& Contents() const { return contents_; }
  // Appends a comment or CDATA section behind all children (texts go through AddText).
  void AddComment(std::string_view text) { AddRawContent(ContentKind::Comment, std::string(text)); }
  void AddCdata(std::string_view text) { AddRawContent(ContentKind::Cdata, std::string(text)); }

  // Indentation when written: unit tab or space, units per level, and whether an element whose
  // only inner item is one text is written on one line.
  void SetIndentation(char unit, int unitsPerLevel) {
    indentUnit_ = unit;
    indentUnits_ = unitsPerLevel;
  }
  char IndentUnit() const { return indentUnit_; }
  int IndentUnits() const { return indentUnits_; }
  void SetInlineContent(bool on) { inlineContent_ = on; }
  bool InlineContent() const { return inlineContent_; }

  // Reads start-tag text into name and attributes (the name runs to the first NUL, tab, space,
  // double quote, "/" or ">"; attribute values stand between double quotes).
  static std::unique_ptr<XmlElement> FromTag(std::string_view tagText);

  const std::vector<std::unique_ptr<XmlElement>>& Children() const { return children_; }
  const std::vector<Attribute>& Attributes() const { return attributes_; }

 private:
  friend class XmlReader;
  // Appends an inner item exactly as it stands in a file.
  void AddRawContent(ContentKind kind, std::string text);

  std::string name_;
  XmlElement* parent_ = nullptr;
  std::vector<std::unique_ptr<XmlElement>> children_;
  std::vector<Attribute> attributes_;
  std::vector<Content> contents_;
  char indentUnit_ = '\t';
  int indentUnits_ = 1;
  bool inlineContent_ = false;
};
