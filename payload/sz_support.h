// Small pieces shared by the payload code that talks to the LZMA SDK's C
// decoder: its heap allocator and access to C "objects" behind vtables.
#pragma once

#include <7zTypes.h>

namespace zrb::payload {

// The decoder's allocator on the ordinary heap (malloc and free).
ISzAllocPtr HeapAllocator();

// The SDK passes interface pointers as pointers to const vtables that sit at
// the start of the implementing struct.
template <typename Object, typename Interface>
Object* FromInterface(const Interface* vtable) {
  return reinterpret_cast<Object*>(const_cast<Interface*>(vtable));
}

// Owns a block from HeapAllocator().
class HeapBlock {
 public:
  HeapBlock() = default;
  ~HeapBlock() { Reset(); }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;

  // Replaces the block with a new one of `size` bytes; false when out of
  // memory (the object is then empty).
  [[nodiscard]] bool Allocate(size_t size);
  void Reset();

  Byte* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  Byte* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace zrb::payload
