#include "common/xml/xml_arena.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::align_val_t kSegmentAlignment{size_t{1} << 16};

}  // namespace

XmlArena::XmlArena(size_t maxBytes) : maxBytes_(std::clamp(maxBytes, kSegmentSize, kMaxBytes)) {
  // The first segment is small and of fixed size; the document's default root lives in it.
  char* first = static_cast<char*>(::operator new(kSegmentSize, kSegmentAlignment));
  segments_.push_back(first);
  slots_.push_back(first);
  reserved_ = kSegmentSize;
  *reinterpret_cast<SegmentHeader*>(first) = {this, 0};
  used_ = kHeaderSize + kSpareSize;
}

XmlArena::~XmlArena() { FreeAllBut(0); }

void XmlArena::FreeAllBut(size_t keptSegments) {
  for (size_t i = keptSegments; i < segments_.size(); ++i) ::operator delete(segments_[i], kSegmentAlignment);
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
  auto* segment = static_cast<char*>(::operator new(kSegmentSize, kSegmentAlignment, std::nothrow));
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
