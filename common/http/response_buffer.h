#pragma once
// The bytes of one answer body as they arrive. The buffer starts at 10240 bytes and doubles as the
// body grows, never past the 32-bit length the client reports; growth that cannot be had leaves
// the bytes received so far in place.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace http {

class ResponseBuffer {
 public:
  static constexpr size_t kInitialCapacity = 10240;
  static constexpr size_t kMaxLength = UINT32_MAX;

  // Drops what it held and starts a fresh buffer of the initial size; false (and empty) when that
  // cannot be allocated.
  bool Restart();
  // Appends chunk, doubling the capacity as often as needed; false when the memory cannot be had
  // or the body would pass kMaxLength: the buffer then keeps its earlier contents.
  bool Append(std::string_view chunk);
  // Makes room for capacity bytes at once (a body that announced its length); false, and the
  // buffer as it was, when that cannot be had. Never shrinks.
  bool Reserve(size_t capacity);
  // Frees the memory.
  void Release();

  bool allocated() const { return data_ != nullptr; }
  size_t size() const { return size_; }
  const char* data() const { return data_.get(); }
  std::string_view view() const { return {data_.get(), size_}; }

  // Test hook: the capacity at which growth fails as if memory ran out (0 = no such limit).
  void SetGrowthLimitForTest(size_t capacity) { growthLimit_ = capacity; }

 private:
  bool Grow(size_t capacity);
  void AskForLargePages();

  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t growthLimit_ = 0;
};

}  // namespace http
