#pragma once
// The one-pass reader behind XmlDocument::LoadText. It keeps the open elements on an explicit
// stack, so input of any nesting depth costs no call depth, and it looks at every byte a bounded
// number of times. An element is matched with the end tag that brings the depth back to its level;
// end tag names are not compared.

#include <string_view>

class XmlDocument;

class XmlReader {
 public:
  // Reads text into document (whose header and root are already the defaults).
  static void Read(std::string_view text, XmlDocument& document);
};
