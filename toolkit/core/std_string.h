#pragma once
// CStdString: the toolkit's string, a thin layer over a UTF-8 std::string. Lengths, positions and
// GetAt count code points, so per-character rules work on Chinese text as on Latin text.

#include <string>
#include <string_view>

class CStdString {
 public:
  CStdString() = default;
  CStdString(const char* text) : text_(text ? text : "") {}  // NOLINT: implicit like a C string
  CStdString(std::string text) : text_(std::move(text)) {}    // NOLINT
  CStdString(std::string_view text) : text_(text) {}          // NOLINT

  // printf-style formatting into this string; returns the number of code points.
  int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  int GetLength() const;  // code points
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }
  // Code-point index of the first occurrence of what at or after start, or -1.
  int Find(std::string_view what, int start = 0) const;
  // The first count code points (all of them when count exceeds the length; empty when negative).
  CStdString Left(int count) const;
  CStdString Mid(int start, int count = -1) const;
  // The code point at index, or 0 when index is out of range.
  char32_t GetAt(int index) const;
  const char* GetData() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  operator const std::string&() const { return text_; }  // NOLINT
  operator std::string_view() const { return text_; }    // NOLINT

  CStdString& operator+=(std::string_view more) {
    text_ += more;
    return *this;
  }
  CStdString& operator+=(const CStdString& more) {
    text_ += more.text_;
    return *this;
  }
  CStdString& operator+=(const char* more) {
    text_ += more ? more : "";
    return *this;
  }
  friend CStdString operator+(const CStdString& a, const CStdString& b) { return CStdString(a.text_ + b.text_); }
  friend CStdString operator+(const CStdString& a, const char* b) { return CStdString(a.text_ + (b ? b : "")); }
  friend CStdString operator+(const char* a, const CStdString& b) { return CStdString((a ? a : "") + b.text_); }
  friend bool operator==(const CStdString& a, const CStdString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CStdString& a, const char* b) { return a.text_ == (b ? b : ""); }
  friend bool operator!=(const CStdString& a, const CStdString& b) { return !(a == b); }
  friend bool operator<(const CStdString& a, const CStdString& b) { return a.text_ < b.text_; }

 private:
  std::string text_;
};

namespace toolkit {
// Code points of UTF-8 text; a malformed byte counts as one code point of its own value.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
}  // namespace toolkit
