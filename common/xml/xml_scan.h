#pragma once
// Byte searches of the XML reader. Most runs between marks are short, too short to be worth a
// library call, and a loop over single bytes loses its time in mispredicted exits; so eight bytes
// are looked at at once, and runs that go on for long are left to memchr.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace xml_scan {

namespace detail {

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;

// The bytes of word that equal c, as their high bits (exact for every byte).
template <char c>
constexpr uint64_t Equal(uint64_t word) {
  uint64_t x = word ^ (0x0101010101010101 * static_cast<uint8_t>(c));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

inline size_t FirstMarked(uint64_t marks) {
  return static_cast<size_t>(std::endian::native == std::endian::little ? std::countr_zero(marks)
                                                                        : std::countl_zero(marks)) /
         8;
}

}  // namespace detail

// The first byte in [from, end) that is one of chars, or null.
template <char... chars>
const char* FindAny(const char* from, const char* end) {
  while (end - from >= 8) {
    uint64_t word;
    std::memcpy(&word, from, 8);
    uint64_t marks = (detail::Equal<chars>(word) | ...);
    if (marks) return from + detail::FirstMarked(marks);
    from += 8;
  }
  for (; from < end; ++from) {
    if (((*from == chars) || ...)) return from;
  }
  return nullptr;
}

// The first c in [from, end), or null.
template <char c>
const char* Find(const char* from, const char* end) {
  constexpr ptrdiff_t kShortRun = 64;
  if (end - from <= kShortRun) return FindAny<c>(from, end);
  if (const char* at = FindAny<c>(from, from + kShortRun)) return at;
  from += kShortRun;
  return static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end - from)));
}

// The position of the first c in text at or after from, or npos.
template <char c>
size_t Find(std::string_view text, size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  const char* at = Find<c>(text.data() + from, text.data() + text.size());
  return at ? static_cast<size_t>(at - text.data()) : std::string_view::npos;
}

}  // namespace xml_scan
