#pragma once
// The memory of one XmlDocument. Names, values, texts, elements and the arrays that link them live
// in 64 KiB segments and refer to each other by 32-bit offsets, which keeps an element at 32 bytes
// and a loaded document within a few bytes per input byte. Every segment begins with a pointer back
// to its arena, so an element finds its arena from its own address. Nothing is freed on its own;
// Clear and the destructor free everything at once, the segments going back to a pool the next
// documents take them from (up to 32 MiB is kept), so a load does not fault its memory in afresh.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

class XmlArena {
 public:
  // An offset into the arena; 0 refers to nothing.
  using Ref = uint32_t;

  // Everything a document may hold by default: far more than the largest file the programs read
  // needs, and little enough that a hostile text cannot take the machine's memory.
  static constexpr size_t kMaxBytes = size_t{1} << 30;

  // An arena that holds at most maxBytes (at least its first segment, at most kMaxBytes).
  explicit XmlArena(size_t maxBytes = kMaxBytes);
  ~XmlArena();
  XmlArena(const XmlArena&) = delete;
  XmlArena& operator=(const XmlArena&) = delete;

  // Frees the segments the pool keeps for the next documents (after a large one, say).
  static void ReleasePooledSegments();

  // Frees everything but the first segment and makes the arena usable again.
  void Clear();

  // size bytes aligned to align (1, 2, 4 or 8), or 0 when the arena is at its bound or memory ran
  // out; from then on Failed() is true.
  Ref Allocate(size_t size, size_t align) {
    size_t at = (used_ + align - 1) & ~(align - 1);
    if (at + size <= kSegmentSize) {
      used_ = at + size;
      return currentBase_ | static_cast<Ref>(at);
    }
    return AllocateElsewhere(size, align);
  }
  // A copy of bytes (0 for no bytes, or on failure).
  Ref Copy(std::string_view bytes) {
    if (bytes.empty()) return 0;
    Ref ref = Allocate(bytes.size(), 1);
    if (ref != 0) CopyBytes(At(ref), bytes.data(), bytes.size());
    return ref;
  }
  // memcpy, without a library call for the short names and values that make up most of a document.
  static void CopyBytes(char* to, const char* from, size_t size) {
    if (size > 16) {
      std::memcpy(to, from, size);
    } else if (size >= 8) {
      CopyEnds<uint64_t>(to, from, size);
    } else if (size >= 4) {
      CopyEnds<uint32_t>(to, from, size);
    } else if (size > 0) {
      to[0] = from[0];
      to[size / 2] = from[size / 2];
      to[size - 1] = from[size - 1];
    }
  }

  char* At(Ref ref) const { return slots_[ref >> kSegmentBits] + (ref & kOffsetMask); }
  template <typename T>
  T* As(Ref ref) const {
    return reinterpret_cast<T*>(At(ref));
  }
  std::string_view View(Ref ref, uint32_t size) const { return {At(ref), size}; }
  // The reference of an object allocated in a segment (never in a block of its own).
  static Ref RefOf(const void* object) {
    auto offset = static_cast<Ref>(reinterpret_cast<uintptr_t>(object) & kOffsetMask);
    return (static_cast<Ref>(HeaderOf(object)->slot) << kSegmentBits) | offset;
  }

  bool Failed() const { return failed_; }

  // A block of kSpareSize bytes at a fixed place that is never handed out: room for a stand-in when
  // an addition finds the arena full.
  static constexpr size_t kSpareSize = 64;
  Ref Spare() const { return kHeaderSize; }

  // The arena whose segment holds object.
  static XmlArena& Of(const void* object) { return *HeaderOf(object)->arena; }

  // Items above this size get a block of their own instead of a place in a segment.
  static constexpr size_t kLargeItem = 16 << 10;

 private:
  static constexpr unsigned kSegmentBits = 16;
  static constexpr size_t kSegmentSize = size_t{1} << kSegmentBits;
  static constexpr Ref kOffsetMask = static_cast<Ref>(kSegmentSize - 1);
  static constexpr size_t kMaxSlots = (size_t{1} << 32) >> kSegmentBits;

  struct SegmentHeader {
    XmlArena* arena;
    uint32_t slot;
  };
  static constexpr size_t kHeaderSize = 16;
  static_assert(sizeof(SegmentHeader) <= kHeaderSize);

  // Copies size bytes, between sizeof(Word) and twice that, as two words that may overlap.
  template <typename Word>
  static void CopyEnds(char* to, const char* from, size_t size) {
    Word head;
    Word tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + size - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + size - sizeof tail, &tail, sizeof tail);
  }

  static SegmentHeader* HeaderOf(const void* object) {
    return reinterpret_cast<SegmentHeader*>(reinterpret_cast<uintptr_t>(object) & ~uintptr_t{kOffsetMask});
  }

  Ref AllocateElsewhere(size_t size, size_t align);
  bool StartSegment();
  Ref AllocateLarge(size_t size);
  Ref Fail();
  void FreeAllBut(size_t keptSegments);

  // Where each 64 KiB of the offset space lives: a segment, or a piece of a large block.
  std::vector<char*> slots_;
  std::vector<char*> segments_;  // owned, aligned to their size
  std::vector<char*> large_;     // owned, allocated as they are
  Ref currentBase_ = 0;          // offset of the segment being filled
  size_t used_ = kSegmentSize;   // bytes of it in use
  size_t reserved_ = 0;          // bytes held, against maxBytes_
  size_t maxBytes_;
  bool failed_ = false;
};
