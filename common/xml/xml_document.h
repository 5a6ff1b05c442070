#pragma once
// XmlDocument: the small tree library for the user file and every web answer. A lenient reader of
// 8-bit (UTF-8) text, not a validating parser: it never fails, and reports what it found in its load
// state. It writes a fixed layout with CR LF line ends and tab indentation.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/xml/xml_arena.h"
#include "common/xml/xml_element.h"
#include "platform/file_io.h"

class XmlOutput;

// The declaration and the comments that stand outside the root.
class XmlHeader {
 public:
  enum Place { BeforeRoot = 0, AfterRoot = 1 };
  struct Comment {
    std::string text;
    Place place;
  };

  // Everything from the start of the text up to and including the first "?>", as read.
  std::string declaration;
  std::vector<Comment> comments;
};

class XmlDocument {
 public:
  enum LoadState {
    Read = 0,        // the text was read
    Defaults = 1,    // no declaration or no markup was found; defaults were put in
    Unbalanced = 2,  // an element had no matching end tag; the elements before it were kept
  };

  // "<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>"
  static constexpr std::string_view kStandardDeclaration =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>";

  // The largest text a document loads or writes: the bound of a file read. A larger text loads as
  // the default document, and a document whose text would be larger is not written.
  static constexpr size_t kMaxTextBytes = platform::kMaxReadBytes;

  // The default document: the standard declaration and an empty root named "root". It may hold up
  // to memoryBound bytes of names, texts and elements.
  explicit XmlDocument(size_t memoryBound = XmlArena::kMaxBytes);
  // A moved-from document may only be destroyed or assigned to.
  XmlDocument(XmlDocument&&) = default;
  XmlDocument& operator=(XmlDocument&&) = default;

  // Reads the whole file (UTF-16LE when it starts with FF FE). A file that cannot be opened, or is
  // larger than the read bound, gives the default document. Remembers path for Save.
  void LoadFile(const std::string& path);
  // Parses text; empty text gives the default document. A text that needs more memory than a
  // document may hold reads as far as it fits, with the state Unbalanced.
  void LoadText(std::string_view text);

  // Streams the document with the standard declaration to path, or to the name it was loaded from
  // when path is empty; the file is replaced atomically. False, with the file untouched, when there
  // is no name, the write failed, the text would be larger than kMaxTextBytes, or an addition to
  // the tree was dropped for want of memory. access applies to a file that does not exist yet.
  bool Save(const std::string& path = {}, platform::FileAccess access = platform::FileAccess::Shared);
  // The text Save writes (after the declaration has been made standard), or nothing when Save
  // would refuse it.
  std::optional<std::string> Serialize() const;

  XmlElement& Root() { return *root_; }
  const XmlElement& Root() const { return *root_; }
  XmlHeader& Header() { return header_; }
  const XmlHeader& Header() const { return header_; }
  LoadState State() const { return state_; }
  const std::string& SourceName() const { return sourceName_; }

  // True when header and root are present and every element and attribute has a name.
  bool Validate() const;

 private:
  friend class XmlReader;
  void Reset();
  // Writes the whole text to out; false when out refused it or the tree is incomplete.
  bool Write(XmlOutput& out) const;
  // The size of the text, or nothing when it is larger than kMaxTextBytes or the tree incomplete.
  std::optional<size_t> TextSize() const;

  std::string sourceName_;
  XmlHeader header_;
  std::unique_ptr<XmlArena> arena_;
  XmlElement* root_ = nullptr;
  LoadState state_ = Defaults;
};
