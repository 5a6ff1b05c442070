#include "toolkit/core/std_string.h"

#include "platform/codepage.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace toolkit {

namespace {
// Length of the UTF-8 sequence that starts with lead, or 1 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Byte offsets of every code point start, plus the end.
std::vector<size_t> Starts(std::string_view text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    int n = SequenceLength(static_cast<unsigned char>(text[i]));
    bool whole = i + n <= text.size();
    for (int k = 1; whole && k < n; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    i += whole ? n : 1;
  }
  starts.push_back(text.size());
  return starts;
}
}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  std::vector<size_t> starts = Starts(text);
  for (size_t k = 0; k + 1 < starts.size(); ++k) {
    size_t b = starts[k];
    size_t n = starts[k + 1] - b;
    auto lead = static_cast<unsigned char>(text[b]);
    if (n == 1) {
      out.push_back(lead);
      continue;
    }
    char32_t cp = lead & (0x7F >> n);
    for (size_t j = 1; j < n; ++j) cp = (cp << 6) | (static_cast<unsigned char>(text[b + j]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : text) {
    if (!platform::AppendUtf8(out, cp)) platform::AppendUtf8(out, 0xFFFD);
  }
  return out;
}

}  // namespace toolkit

int CStdString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) {
    va_end(args);
    text_.clear();
    return 0;
  }
  std::string out(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  va_end(args);
  out.resize(static_cast<size_t>(needed));
  text_ = std::move(out);
  return GetLength();
}

int CStdString::GetLength() const { return static_cast<int>(toolkit::Starts(text_).size()) - 1; }

int CStdString::Find(std::string_view what, int start) const {
  std::vector<size_t> starts = toolkit::Starts(text_);
  int count = static_cast<int>(starts.size()) - 1;
  if (start < 0) start = 0;
  if (start > count) return -1;
  size_t at = text_.find(what, starts[static_cast<size_t>(start)]);
  if (at == std::string::npos) return -1;
  for (int k = start; k <= count; ++k) {
    if (starts[static_cast<size_t>(k)] == at) return k;
  }
  return -1;  // only a match in the middle of a code point, which UTF-8 rules out
}

CStdString CStdString::Mid(int start, int count) const {
  std::vector<size_t> starts = toolkit::Starts(text_);
  int total = static_cast<int>(starts.size()) - 1;
  if (start < 0) start = 0;
  if (start >= total) return CStdString();
  int end = (count < 0 || start + count > total) ? total : start + count;
  size_t b = starts[static_cast<size_t>(start)];
  return CStdString(text_.substr(b, starts[static_cast<size_t>(end)] - b));
}

CStdString CStdString::Left(int count) const { return count <= 0 ? CStdString() : Mid(0, count); }

char32_t CStdString::GetAt(int index) const {
  std::u32string points = toolkit::DecodeUtf8(text_);
  if (index < 0 || static_cast<size_t>(index) >= points.size()) return 0;
  return points[static_cast<size_t>(index)];
}
