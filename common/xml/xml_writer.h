#pragma once
// The fixed write layout of XmlDocument: one item per line, CR LF line ends, indentation by depth.
// The text goes through XmlOutput, a fixed buffer with a bound on the total, so that a tree of any
// depth is written without recursion and without more than the buffer in memory.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

class XmlElement;

class XmlOutput {
 public:
  // Takes each full buffer and the rest at the end; false stops the writing. No sink: the bytes
  // are only counted.
  using Sink = std::function<bool(std::string_view)>;

  XmlOutput(size_t maxBytes, Sink sink);

  void Append(std::string_view bytes);
  void Append(char c) { Append(std::string_view(&c, 1)); }
  void AppendRepeated(char c, size_t count);
  // Hands the rest to the sink; false when the bound was passed or the sink refused.
  bool Finish();
  // False from the moment the bound was passed or the sink refused; the rest is then dropped.
  bool Ok() const { return ok_; }
  // Bytes appended, the dropped ones not included.
  size_t Total() const { return total_; }

 private:
  static constexpr size_t kBufferSize = 64 << 10;
  bool Reserve(size_t count);
  void Flush();

  Sink sink_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  size_t total_ = 0;
  size_t maxBytes_;
  bool ok_ = true;
};

// Appends element (at depth 0) and everything in it to out, without recursion; stops early once
// out is no longer Ok.
void WriteXmlElement(const XmlElement& element, XmlOutput& out);
