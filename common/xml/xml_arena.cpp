#include "common/xml/xml_arena.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace {

constexpr std::align_val_t kSegmentAlignment{size_t{1} << 16};

// Segments given back by arenas, kept for the next ones. Without them every load takes its memory
// afresh: the allocator hands freed segments back to the system, and the next load pays a page
// fault for every page of them again. The pool holds at most kMaxPooled segments; the rest are
// freed. Arenas of several threads share it, so it is locked.
class SegmentPool {
 public:
  static constexpr size_t kMaxPooled = 512;  // 32 MiB

  char* Take() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        char* segment = free_.back();
        free_.pop_back();
        return segment;
      }
    }
    return static_cast<char*>(::operator new(size_t{1} << 16, kSegmentAlignment, std::nothrow));
  }

  void Give(char* segment) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (free_.size() < kMaxPooled) {
        free_.push_back(segment);
        return;
      }
    }
    ::operator delete(segment, kSegmentAlignment);
  }

  SegmentPool() { free_.reserve(kMaxPooled); }

  void Release() {
    std::vector<char*> segments;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      segments.swap(free_);
      free_.reserve(kMaxPooled);
    }
    for (char* segment : segments) ::operator delete(segment, kSegmentAlignment);
  }

 private:
  std::mutex mutex_;
  std::vector<char*> free_;
};

SegmentPool& Pool() {
  // Never destroyed, so that no arena outlives it: documents may live in other static objects.
  static SegmentPool* pool = new SegmentPool;
  return *pool;
}

}  // namespace

void XmlArena::ReleasePooledSegments() { Pool().Release(); }

XmlArena::XmlArena(size_t maxBytes) : maxBytes_(std::clamp(maxBytes, kSegmentSize, kMaxBytes)) {
  // The first segment is small and of fixed size; the document's default root lives in it.
  char* first = Pool().Take();
  // As every other allocation of a fresh document: memory that cannot be had ends the program.
  if (!first) first = static_cast<char*>(::operator new(kSegmentSize, kSegmentAlignment));
  segments_.push_back(first);
  slots_.push_back(first);
  reserved_ = kSegmentSize;
  *reinterpret_cast<SegmentHeader*>(first) = {this, 0};
  used_ = kHeaderSize + kSpareSize;
}

XmlArena::~XmlArena() { FreeAllBut(0); }

void XmlArena::FreeAllBut(size_t keptSegments) {
  for (size_t i = keptSegments; i < segments_.size(); ++i) Pool().Give(segments_[i]);
  segments_.resize(keptSegments);
  for (char* block : large_) delete[] block;
  large_.clear();
}

void XmlArena::Clear() {
  FreeAllBut(1);
  slots_.assign(1, segments_[0]);
  reserved_ = kSegmentSize;
  currentBase_ = 0;
  used_ = kHeaderSize + kSpareSize;
  failed_ = false;
}

XmlArena::Ref XmlArena::Fail() {
  failed_ = true;
  return 0;
}

XmlArena::Ref XmlArena::AllocateElsewhere(size_t size, size_t align) {
  if (failed_) return 0;
  if (size > kLargeItem) return AllocateLarge(size);
  if (!StartSegment()) return Fail();
  return Allocate(size, align);
}

bool XmlArena::StartSegment() {
  if (reserved_ + kSegmentSize > maxBytes_ || slots_.size() >= kMaxSlots) return false;
  char* segment = Pool().Take();
  if (!segment) return false;
  segments_.push_back(segment);
  *reinterpret_cast<SegmentHeader*>(segment) = {this, static_cast<uint32_t>(slots_.size())};
  currentBase_ = static_cast<Ref>(slots_.size() << kSegmentBits);
  slots_.push_back(segment);
  reserved_ += kSegmentSize;
  used_ = kHeaderSize;
  return true;
}

XmlArena::Ref XmlArena::AllocateLarge(size_t size) {
  // The block takes as many slots of the offset space as it spans, each pointing at its piece.
  size_t slots = (size + kSegmentSize - 1) / kSegmentSize;
  if (size > maxBytes_ - reserved_ || slots > kMaxSlots - slots_.size()) return Fail();
  char* block = new (std::nothrow) char[size];
  if (!block) return Fail();
  large_.push_back(block);
  auto ref = static_cast<Ref>(slots_.size() << kSegmentBits);
  for (size_t i = 0; i < slots; ++i) slots_.push_back(block + i * kSegmentSize);
  reserved_ += size;
  return ref;
}
